#pragma once

#include "engine/StegEngine.h"
#include "flows/DecodeFlow.h"
#include "flows/EncodeFlow.h"
#include "flows/FakeFrontend.h"
#include "keys/QuestionSet.h"
#include "support/TestFiles.h"

#include <memory>
#include <string>
#include <vector>

namespace lumaquill::test {

constexpr const char* kPassword = "correct horse battery";

// Two questions, set up and compacted as the question dialogs leave them.
QuestionSet MakeQuestions();
// The answers a decoding user types for the questions above: "Rex" and the
// second answer ("Bergen" is right).
void AnswerQuestions(QuestionSet& questions, const std::string& secondAnswer);

// What one decode through the flows gave.
struct DecodeResult {
    bool QuestionsStored = false;
    QuestionSet Questions;
    DecodeOutcome Outcome = NothingDecoded;
    std::string Holder;
    std::vector<std::string> Offered;
    std::vector<std::string> Messages;
    std::vector<std::string> Events;
};

// A scratch folder that is also TMPDIR, and an engine on a fake front end.
class FlowHarness {
public:
    FlowHarness();

    // Loads a generated bitmap as the container; returns its path.
    std::string LoadBitmap(const std::string& name, int32_t width, int32_t height, uint16_t bits, uint32_t seed);
    EncodeRequest Request(std::vector<uint8_t> payload, const std::string& name, bool questions);
    bool Encode(const EncodeRequest& request);
    // Saves the encoded container and decodes it in a fresh engine, with the
    // right key, or with the given password (with questions: as the second
    // answer); decoded files go to Scratch/out.
    std::string SaveEncoded(const std::string& name = "encoded.bmp");
    // With giveText the password itself is handed over too (without
    // questions), as the dialogs and lumaquill-cli do: only then does a
    // sealed image open.
    DecodeResult DecodeFile(
        const std::string& path, const std::string& password = kPassword, bool giveText = false) const;
    // Decodes in an existing engine (ReadStoredQuestions, then RunDecode).
    static DecodeResult DecodeIn(
        StegEngine& engine, FakeFrontend& front, const std::string& password, bool giveText = false);

    ScratchFolder Scratch;
    ScopedTmpDir Tmp { Scratch.Path() };
    FakeFrontend Front;
    StegEngine Engine;
    // Kept alive for the run: the key material borrows its arrays.
    std::unique_ptr<QuestionSet> Questions;
};

} // namespace lumaquill::test
