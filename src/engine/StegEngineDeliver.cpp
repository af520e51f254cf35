#include "engine/CappedInflate.h"
#include "engine/RunMessages.h"
#include "engine/StegEngine.h"
#include "engine/StoredName.h"
#include "io/AtomicFile.h"
#include "seal/SealedEnvelope.h"
#include "seal/SecretBytes.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <sodium.h>
#include <span>
#include <vector>

namespace lumaquill {

namespace {

// The bytes on the front end's own stream; the holder stays empty.
DecodeOutcome StreamDecodedFile(const Frontend& host, std::ostream& out, const std::vector<uint8_t>& bytes)
{
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out)
        ShowRunMessage(host, message::kCouldNotWriteStream, MessageIcon::Stop);
    return FileWritten;
}

// A declined prompt (or none) writes nothing: the image still holds the
// payload. A target that cannot be written is reported with the system's
// reason while the progress is still up (a full disk or a read-only folder
// is not a wrong key); the outcome stays FileWritten with the target in the
// holder.
DecodeOutcome SaveDecodedFile(
    const Frontend& host, const std::vector<uint8_t>& bytes, const std::string& storedName, std::string& holder)
{
    holder.clear();
    if (host.Save && host.Save->TakeDecodedFile(SafeFileName(storedName), bytes))
        return FileWritten;
    if (std::ostream* stream = host.Save ? host.Save->SaveStream() : nullptr)
        return StreamDecodedFile(host, *stream, bytes);
    std::optional<std::string> target;
    if (host.Save)
        target = host.Save->AskSavePath(SafeFileName(storedName));
    if (!target)
        return FileWritten;
    const FileWriteResult written = WriteFileAtomically(*target, bytes.data(), bytes.size());
    if (!written)
        ShowRunMessage(host, message::kCouldNotWrite + *target + ": " + written.Reason + ".", MessageIcon::Stop);
    holder = *target;
    return FileWritten;
}

// The zlib stream restored within cap bytes; nothing when it is damaged, too
// large, or the memory runs out (which is said).
std::optional<std::vector<uint8_t>> Restore(const Frontend& host, const uint8_t* stream, size_t size, uint64_t cap)
{
    std::vector<uint8_t> bytes;
    switch (InflateCapped(stream, size, cap, bytes)) {
    case InflateResult::Complete:
        return bytes;
    case InflateResult::OutOfMemory:
        ShowRunMessage(host, message::kNoOutputBuffer);
        return std::nullopt;
    case InflateResult::Failed:
        break;
    }
    return std::nullopt;
}

// A stored name makes the payload a file; without one it is a text, which
// ends at its first zero byte.
DecodeOutcome DeliverContent(
    const Frontend& host, const std::vector<uint8_t>& bytes, const std::string& storedName, std::string& holder)
{
    if (!storedName.empty())
        return SaveDecodedFile(host, bytes, storedName, holder);
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t { 0 });
    holder.assign(bytes.begin(), end);
    return TextDecoded;
}

std::span<const uint8_t> AsBytes(const std::string& text)
{
    return { reinterpret_cast<const uint8_t*>(text.data()), text.size() };
}

// False with the outcome set when the stream could not be restored.
bool Restored(const Frontend& host, InflateResult result, DecodeOutcome& outcome)
{
    if (result == InflateResult::Complete)
        return true;
    if (result == InflateResult::OutOfMemory)
        ShowRunMessage(host, message::kNoOutputBuffer);
    outcome = NothingDecoded;
    return false;
}

} // namespace

// An envelope opens only with the key text as typed, which the key material
// then lends. Nothing when it does not open (no key text, a wrong key, a
// changed byte). Once open, its plaintext is the zlib stream of the
// content, restored within the same cap, and the outcome is what became of
// that content.
std::optional<DecodeOutcome> StegEngine::OpenSealed(
    std::span<const uint8_t> envelope, const std::string& storedName, uint64_t outputCap, std::string& holder)
{
    const SecretBytes* keyText = Keys.KeyText;
    if (!keyText)
        return std::nullopt;
    if (Progress)
        Progress->SetText("Opening Sealed Data");
    const std::optional<SecretBytes> stream = SealedEnvelope::Open(envelope, keyText->Span());
    if (!stream)
        return std::nullopt;
    std::optional<std::vector<uint8_t>> content = Restore(Host, stream->data(), stream->size(), outputCap);
    if (!content) {
        holder.clear();
        return NothingDecoded;
    }
    const DecodeOutcome outcome = DeliverContent(Host, *content, storedName, holder);
    sodium_memzero(content->data(), content->size());
    return outcome;
}

// Only T' finds a sealed image's payload, so under T' an envelope that does
// not open is a sealed image that was changed or is keyed otherwise, and
// gives nothing. Any other key found a classic payload, which may begin
// with the tag as any file may, and is delivered as stored. Digests alone
// may be T''s own: without the key text, only an image with questions,
// which is never sealed, is known to be classic.
bool StegEngine::ClassicPayload() const
{
    return !Keys.SealedKey && (Keys.KeyText || Keys.QuizlockPresent);
}

// A text is restored straight into the holder and a file into one buffer,
// so the decoded bytes exist once.
DecodeOutcome StegEngine::RestoreAndDeliver(const uint8_t* payload, size_t size, const std::string& storedName,
    uint64_t outputCap, Envelopes envelopes, std::string& holder)
{
    if (Progress)
        Progress->SetText("Decompressing Data");
    DecodeOutcome outcome = NothingDecoded;
    const bool mayBeSealed = envelopes == Envelopes::Open;
    if (storedName.empty()) {
        if (!Restored(Host, InflateCapped(payload, size, outputCap, holder), outcome)) {
            holder.clear();
            return outcome;
        }
        // Looked at before a text is cut at its first zero byte.
        if (mayBeSealed && SealedEnvelope::IsEnvelope(AsBytes(holder))) {
            const std::vector<uint8_t> envelope(holder.begin(), holder.end());
            if (const std::optional<DecodeOutcome> opened = OpenSealed(envelope, std::string(), outputCap, holder))
                return *opened;
            if (!ClassicPayload()) {
                holder.clear();
                return NothingDecoded;
            }
        }
        // A text ends at its first zero byte.
        holder.resize(std::min(holder.size(), holder.find('\0')));
        return TextDecoded;
    }
    std::vector<uint8_t> bytes;
    if (!Restored(Host, InflateCapped(payload, size, outputCap, bytes), outcome))
        return outcome;
    if (mayBeSealed && SealedEnvelope::IsEnvelope(bytes)) {
        if (const std::optional<DecodeOutcome> opened = OpenSealed(bytes, storedName, outputCap, holder))
            return *opened;
        if (!ClassicPayload())
            return NothingDecoded;
    }
    const DecodeOutcome saved = SaveDecodedFile(Host, bytes, storedName, holder);
    if (!mayBeSealed)
        sodium_memzero(bytes.data(), bytes.size());
    return saved;
}

DecodeOutcome StegEngine::DeliverPayload(
    const uint8_t* payload, size_t size, const std::string& storedName, uint64_t outputCap, std::string& holder)
{
    return RestoreAndDeliver(payload, size, storedName, outputCap, Envelopes::Open, holder);
}

DecodeOutcome StegEngine::DeliverOpenedPayload(
    const uint8_t* stream, size_t size, const std::string& storedName, uint64_t outputCap, std::string& holder)
{
    return RestoreAndDeliver(stream, size, storedName, outputCap, Envelopes::Deliver, holder);
}

} // namespace lumaquill
