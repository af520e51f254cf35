#include "flows/FlowHarness.h"
#include "flows/Payload.h"

#include <gtest/gtest.h>
#include <string>

namespace lumaquill::test {
namespace {

// Containers sized so that each EmbedMode 0-3 is chosen for some payload.
// 247 x 199 at 24 bits (rows of 741 bytes padded to 744): capacities 2073,
// 12354, 20580, 45256 for modes 0-3. 211 x 163 at 32 bits: 203, 7368,
// 13100, 30297.
struct ContainerShape {
    int32_t Width;
    int32_t Height;
    uint16_t Bits;
    // Uncompressed payload bytes that land in EmbedMode 0, 1, 2, 3.
    size_t RawBytes[4];
};
constexpr ContainerShape kPadded24 = { 247, 199, 24, { 500, 3000, 13000, 21000 } };
constexpr ContainerShape kPlain32 = { 211, 163, 32, { 100, 1000, 8000, 14000 } };
constexpr size_t kNoiseRawBytes = 2000;

struct RoundTripCase {
    int32_t Mode;
    bool File;
    bool Questions;
};

std::string CaseName(const testing::TestParamInfo<RoundTripCase>& info)
{
    const RoundTripCase& c = info.param;
    return "Mode" + std::to_string(c.Mode) + (c.File ? "File" : "Text") + (c.Questions ? "Questions" : "Password");
}

std::vector<RoundTripCase> AllCases()
{
    std::vector<RoundTripCase> cases;
    for (int32_t mode = 0; mode <= 4; ++mode) {
        for (bool file : { false, true }) {
            for (bool questions : { false, true })
                cases.push_back({ mode, file, questions });
        }
    }
    return cases;
}

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << CaseName(testing::TestParamInfo<RoundTripCase>(c, 0));
}

class FlowRoundTrip : public testing::TestWithParam<RoundTripCase> { };

TEST_P(FlowRoundTrip, DecodesWhatWasEncoded)
{
    const RoundTripCase& c = GetParam();
    FlowHarness h;
    const bool noise = c.Mode == 4;
    // Half the cases run on each depth, so both meet text, file, password
    // and questions.
    const ContainerShape& shape = (c.File != c.Questions) ? kPlain32 : kPadded24;
    const size_t raw = noise ? kNoiseRawBytes : shape.RawBytes[c.Mode];
    const uint32_t seed = 1000 + static_cast<uint32_t>(c.Mode * 4 + c.File * 2 + c.Questions);
    if (!noise)
        h.LoadBitmap("holiday.bmp", shape.Width, shape.Height, shape.Bits, seed);

    const std::vector<uint8_t> original = NoiseBytes(raw, seed, c.File ? 0 : 1);
    std::string name;
    if (c.File) {
        name = h.Scratch.File("in/report.txt");
        WriteBytes(name, original);
    }
    const std::vector<uint8_t> bytes = c.File ? *ReadWholeFile(name) : original;
    const auto payload = CompressPayload(bytes.data(), bytes.size());
    ASSERT_TRUE(payload);
    EncodeRequest request = h.Request(*payload, name, c.Questions);
    request.Noise = noise;
    if (!noise) {
        ASSERT_EQ(h.Engine.ChooseMode(static_cast<uint32_t>(payload->size()), c.File ? 10 : 0), c.Mode);
    }
    ASSERT_TRUE(h.Encode(request)) << testing::PrintToString(h.Front.Log.Events);
    EXPECT_EQ(h.Engine.Keys.Mode, c.Mode);
    EXPECT_TRUE(h.Front.Log.Messages().empty());

    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    EXPECT_EQ(result.QuestionsStored, c.Questions);
    EXPECT_TRUE(result.Messages.empty()) << testing::PrintToString(result.Messages);
    if (c.Questions) {
        EXPECT_EQ(result.Questions.Questions[0], "Name of your first pet?");
        EXPECT_EQ(result.Questions.Hints[0], "Optional");
        EXPECT_EQ(result.Questions.Questions[1], "Town you were born in?");
        EXPECT_EQ(result.Questions.Hints[1], "");
        EXPECT_EQ(result.Questions.AnswerKeys[1], AnswerKey("Bergen"));
        EXPECT_EQ(
            result.Questions.UsedFlags, (std::array<bool, QuestionSet::kSlots> { true, true, false, false, false }));
    }
    if (c.File) {
        ASSERT_EQ(result.Outcome, FileWritten);
        // EmbedMode 4 stores the whole path, which comes back only as far as
        // 50 bytes reach; the others store the bare name.
        if (!noise) {
            EXPECT_EQ(result.Offered, std::vector<std::string> { "report.txt" });
            EXPECT_EQ(result.Holder, h.Front.Save.Folder.value() + "/report.txt");
        }
        EXPECT_EQ(ReadBytes(result.Holder), original);
    } else {
        ASSERT_EQ(result.Outcome, TextDecoded);
        EXPECT_EQ(result.Holder, std::string(original.begin(), original.end()));
        EXPECT_TRUE(result.Offered.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryModeKindAndKey, FlowRoundTrip, testing::ValuesIn(AllCases()), CaseName);

} // namespace
} // namespace lumaquill::test

namespace lumaquill::test {
namespace {

// A lossy cover (JPEG, HEIC) is refused for decoding, but once encoded into
// the container holds exact pixels, so a decode right after the encode, as
// the dialogs allow, reads them.
TEST(FlowLossyCover, EncodedContainerDecodesRightAway)
{
    FlowHarness h;
    h.LoadBitmap("cover.bmp", 247, 199, 24, 5);
    h.Engine.LastLoad.Lossless = false;
    std::string detail;
    EXPECT_EQ(h.Engine.ContainerProblem(true, detail), LoadProblem::Lossy);
    ASSERT_TRUE(h.Encode(h.Request(*CompressPayload(std::string("exact now")), "", false)));
    EXPECT_EQ(h.Engine.ContainerProblem(true, detail), LoadProblem::None);
    const DecodeResult result = FlowHarness::DecodeIn(h.Engine, h.Front, kPassword);
    EXPECT_EQ(result.Outcome, TextDecoded);
    EXPECT_EQ(result.Holder, "exact now");
}

} // namespace
} // namespace lumaquill::test
