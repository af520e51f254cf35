#include "engine/DecodeTail.h"

#include "engine/AtomicFile.h"
#include "engine/CappedInflate.h"
#include "engine/RunMessages.h"
#include "engine/StegEngine.h"
#include "engine/StoredName.h"

#include <algorithm>
#include <optional>
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

} // namespace

DecodeOutcome DeliverPayload(StegEngine& engine, const uint8_t* payload, size_t size, const std::string& storedName,
    uint64_t outputCap, std::string& holder)
{
    if (engine.Progress)
        engine.Progress->SetText("Decompressing Data");
    std::vector<uint8_t> bytes;
    switch (InflateCapped(payload, size, outputCap, bytes)) {
    case InflateResult::Complete:
        break;
    case InflateResult::OutOfMemory:
        ShowRunMessage(engine.GetFrontend(), runmessage::kNoOutputBuffer);
        return NothingDecoded;
    case InflateResult::Failed:
        return NothingDecoded;
    }
    if (!storedName.empty())
        return SaveDecodedFile(engine, bytes, storedName, holder);
    // A text ends at its first zero byte.
    const auto end = std::find(bytes.begin(), bytes.end(), uint8_t { 0 });
    holder.assign(bytes.begin(), end);
    return TextDecoded;
}

} // namespace lumaquill
