#include "engine/DecodeTail.h"

#include "engine/AtomicFile.h"
#include "engine/CappedInflate.h"
#include "engine/RunMessages.h"
#include "engine/StegEngine.h"
#include "engine/StoredName.h"
#include "seal/SealedEnvelope.h"
#include "seal/SecretBytes.h"

#include <algorithm>
#include <optional>
#include <sodium.h>
#include <vector>

namespace lumaquill {

namespace {

// A declined prompt (or none) writes nothing: the image still holds the
// payload. A target that cannot be written is reported while the progress
// is still up; the outcome stays FileWritten with the target in the holder.
DecodeOutcome SaveDecodedFile(
    StegEngine& engine, const std::vector<uint8_t>& bytes, const std::string& storedName, std::string& holder)
{
    const Frontend& host = engine.GetFrontend();
    std::optional<std::string> target;
    if (host.Save)
        target = host.Save->AskSavePath(SafeFileName(storedName));
    holder.clear();
    if (!target)
        return FileWritten;
    if (!WriteFileAtomically(*target, bytes.data(), bytes.size()))
        ShowRunMessage(host, runmessage::kNothingDecoded, MessageIcon::Stop);
    holder = *target;
    return FileWritten;
}

// The zlib stream restored within cap bytes; nothing when it is damaged, too
// large, or the memory runs out (which is said).
std::optional<std::vector<uint8_t>> Restore(StegEngine& engine, const uint8_t* stream, size_t size, uint64_t cap)
{
    std::vector<uint8_t> bytes;
    switch (InflateCapped(stream, size, cap, bytes)) {
    case InflateResult::Complete:
        return bytes;
    case InflateResult::OutOfMemory:
        ShowRunMessage(engine.GetFrontend(), runmessage::kNoOutputBuffer);
        return std::nullopt;
    case InflateResult::Failed:
        break;
    }
    return std::nullopt;
}

// A stored name makes the payload a file; without one it is a text, which
// ends at its first zero byte.
DecodeOutcome DeliverContent(
    StegEngine& engine, const std::vector<uint8_t>& bytes, const std::string& storedName, std::string& holder)
{
    if (!storedName.empty())
        return SaveDecodedFile(engine, bytes, storedName, holder);
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t { 0 });
    holder.assign(bytes.begin(), end);
    return TextDecoded;
}

// An envelope opens only with the key text as typed, which the key material
// then lends; without it, or when the envelope does not authenticate (a
// wrong key, a changed byte), nothing is decoded. Its plaintext is the zlib
// stream of the content, restored within the same cap.
DecodeOutcome DeliverSealed(StegEngine& engine, const std::vector<uint8_t>& envelope, const std::string& storedName,
    uint64_t outputCap, std::string& holder)
{
    const SecretBytes* keyText = engine.Keys.KeyText;
    if (!keyText)
        return NothingDecoded;
    if (engine.Progress)
        engine.Progress->SetText("Opening Sealed Data");
    const std::optional<SecretBytes> stream = SealedEnvelope::Open(envelope, keyText->Span());
    if (!stream)
        return NothingDecoded;
    std::optional<std::vector<uint8_t>> content = Restore(engine, stream->data(), stream->size(), outputCap);
    if (!content)
        return NothingDecoded;
    const DecodeOutcome outcome = DeliverContent(engine, *content, storedName, holder);
    sodium_memzero(content->data(), content->size());
    return outcome;
}

} // namespace

DecodeOutcome DeliverPayload(StegEngine& engine, const uint8_t* payload, size_t size, const std::string& storedName,
    uint64_t outputCap, std::string& holder)
{
    if (engine.Progress)
        engine.Progress->SetText("Decompressing Data");
    std::optional<std::vector<uint8_t>> bytes = Restore(engine, payload, size, outputCap);
    if (!bytes)
        return NothingDecoded;
    // Looked at before a text is cut at its first zero byte.
    if (SealedEnvelope::IsEnvelope(*bytes))
        return DeliverSealed(engine, *bytes, storedName, outputCap, holder);
    return DeliverContent(engine, *bytes, storedName, holder);
}

} // namespace lumaquill
