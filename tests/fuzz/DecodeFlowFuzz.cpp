// The whole decode of an untrusted image as the program runs it: load, the
// keyless question header, then the decode with a fixed key (the seeds'
// password, or the joined answers of their questions), through the payload
// delivery. Only the key's digests are handed over, as the password step
// hands them. A decoded file must be offered under a safe bare name; the
// prompt then declines, so nothing is written.
//
// Half of all random mode headers ask for 100,000 to 10,000,000
// strengthening passes (speeds 1 to 4). In fuzzing builds, which define
// LUMAQUILL_FUZZING, the decode run stops such inputs right after reading
// the mode header, so they cost no more than the header; speed 0 and the
// pass-free speeds 5 to 7 run the whole decode. The replay in the normal
// build decodes every input in full.

#include "FuzzChecks.h"
#include "FuzzKey.h"
#include "QuietFrontend.h"
#include "ScratchImageFile.h"
#include "engine/StegEngine.h"
#include "flows/DecodeFlow.h"
#include "flows/KeyDigests.h"
#include "keys/QuestionSet.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

using namespace lumaquill;

class CheckingSavePrompt : public SavePrompt {
public:
    std::optional<std::string> AskSavePath(const std::string& offeredName) override
    {
        LUMAQUILL_FUZZ_CHECK(fuzz::IsSafeBareName(offeredName));
        return std::nullopt;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::ScratchImageFile scratch;
    static const KeyDigests key = KeyDigests::FromText(fuzz::kSeedKeyText);
    fuzz::QuietFrontend front;
    CheckingSavePrompt save;
    StegEngine engine;
    engine.SetFrontend(front.With(&save));
    if (!engine.LoadContainer(scratch.Write(data, size)))
        return 0;
    QuestionSet questions;
    engine.ReadStoredQuestions(questions);
    std::string holder;
    const DecodeOutcome outcome = RunDecode(engine, key, holder);
    LUMAQUILL_FUZZ_CHECK(outcome == TextDecoded || outcome == FileWritten || outcome == NothingDecoded);
    // A declined prompt leaves no target behind.
    LUMAQUILL_FUZZ_CHECK(outcome != FileWritten || holder.empty());
    LUMAQUILL_FUZZ_CHECK(outcome != NothingDecoded || holder.empty());
    LUMAQUILL_FUZZ_CHECK(front.Idle() && !engine.Progress);
    return 0;
}
