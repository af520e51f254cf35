#include "engine/DecodeTail.h"

#include "engine/AtomicFile.h"
#include "engine/CappedInflate.h"
#include "engine/RunMessages.h"
#include "engine/StegEngine.h"
#include "engine/StoredName.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <vector>

namespace lumaquill {

namespace {

// The bytes on the front end's own stream; the holder stays empty.
DecodeOutcome StreamDecodedFile(const Frontend& host, std::ostream& out, const std::vector<uint8_t>& bytes)
{
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out)
        ShowRunMessage(host, runmessage::kCouldNotWriteStream, MessageIcon::Stop);
    return FileWritten;
}

// A declined prompt (or none) writes nothing: the image still holds the
// payload. A target that cannot be written is reported with the system's
// reason while the progress is still up (a full disk or a read-only folder
// is not a wrong key); the outcome stays FileWritten with the target in the
// holder.
DecodeOutcome SaveDecodedFile(
    StegEngine& engine, const std::vector<uint8_t>& bytes, const std::string& storedName, std::string& holder)
{
    const Frontend& host = engine.GetFrontend();
    holder.clear();
    if (std::ostream* stream = host.Save ? host.Save->SaveStream() : nullptr)
        return StreamDecodedFile(host, *stream, bytes);
    std::optional<std::string> target;
    if (host.Save)
        target = host.Save->AskSavePath(SafeFileName(storedName));
    if (!target)
        return FileWritten;
    const FileWriteResult written = WriteFileAtomically(*target, bytes.data(), bytes.size());
    if (!written)
        ShowRunMessage(host, runmessage::kCouldNotWrite + *target + ": " + written.Reason + ".", MessageIcon::Stop);
    holder = *target;
    return FileWritten;
}

} // namespace

namespace {

// False with the outcome set when the stream could not be restored.
bool Restored(StegEngine& engine, InflateResult result, DecodeOutcome& outcome)
{
    if (result == InflateResult::Complete)
        return true;
    if (result == InflateResult::OutOfMemory)
        ShowRunMessage(engine.GetFrontend(), runmessage::kNoOutputBuffer);
    outcome = NothingDecoded;
    return false;
}

} // namespace

// A text is restored straight into the holder and a file into one buffer,
// so the decoded bytes exist once.
DecodeOutcome DeliverPayload(StegEngine& engine, const uint8_t* payload, size_t size, const std::string& storedName,
    uint64_t outputCap, std::string& holder)
{
    if (engine.Progress)
        engine.Progress->SetText("Decompressing Data");
    DecodeOutcome outcome = NothingDecoded;
    if (storedName.empty()) {
        if (!Restored(engine, InflateCapped(payload, size, outputCap, holder), outcome)) {
            holder.clear();
            return outcome;
        }
        // A text ends at its first zero byte.
        holder.resize(std::min(holder.size(), holder.find('\0')));
        return TextDecoded;
    }
    std::vector<uint8_t> bytes;
    if (!Restored(engine, InflateCapped(payload, size, outputCap, bytes), outcome))
        return outcome;
    return SaveDecodedFile(engine, bytes, storedName, holder);
}

} // namespace lumaquill
