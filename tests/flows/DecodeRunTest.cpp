#include "core/MessageText.h"
#include "flows/FlowHarness.h"
#include "flows/Payload.h"
#include "io/AtomicFile.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace lumaquill::test {
namespace {

// An image with a text, encoded on a padded 24-bit container.
std::string EncodedTextImage(FlowHarness& h, const std::string& text)
{
    h.LoadBitmap("c.bmp", 151, 101, 24, 21);
    if (!h.Encode(h.Request(*CompressPayload(text), "", false)))
        throw std::runtime_error("not encoded");
    return h.SaveEncoded();
}

std::string EncodedFileImage(FlowHarness& h, const std::string& name, const std::vector<uint8_t>& bytes)
{
    h.LoadBitmap("c.bmp", 151, 101, 24, 22);
    if (!h.Encode(h.Request(*CompressPayload(bytes.data(), bytes.size()), name, false)))
        throw std::runtime_error("not encoded");
    return h.SaveEncoded();
}

size_t FilesIn(const std::string& folder)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

TEST(DecodeRun, WrongPasswordDecodesNothingAndClosesTheProgress)
{
    FlowHarness h;
    const std::string image = EncodedTextImage(h, "a secret");
    const DecodeResult result = h.DecodeFile(image, "wrong horse battery");
    EXPECT_EQ(result.Outcome, NothingDecoded);
    EXPECT_EQ(result.Holder, "");
    // The run shows nothing itself; the caller says that nothing was found.
    EXPECT_TRUE(result.Messages.empty());
    EXPECT_EQ(result.Events.back(), "Destroyed");
}

TEST(DecodeRun, ASecondAttemptAfterAFailedOneBehavesLikeAFirst)
{
    FlowHarness h;
    const std::string image = EncodedTextImage(h, "a secret");
    FakeFrontend front;
    StegEngine engine;
    engine.SetFrontend(front.Get());
    ASSERT_TRUE(engine.LoadContainer(image));
    const DecodeResult first = FlowHarness::DecodeIn(engine, front, "wrong horse battery");
    const Position afterFirst { engine.CurX, engine.CurY };
    const int32_t remainingAfterFirst = engine.UsedPixels.Remaining;
    const DecodeResult again = FlowHarness::DecodeIn(engine, front, "wrong horse battery");
    EXPECT_EQ(again.Outcome, first.Outcome);
    EXPECT_EQ(again.Events, first.Events);
    EXPECT_EQ((Position { engine.CurX, engine.CurY }), afterFirst);
    EXPECT_EQ(engine.UsedPixels.Remaining, remainingAfterFirst);
    const DecodeResult right = FlowHarness::DecodeIn(engine, front, kPassword);
    EXPECT_EQ(right.Outcome, TextDecoded);
    EXPECT_EQ(right.Holder, "a secret");
}

TEST(DecodeRun, WrongAnswersDecodeNothing)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 151, 101, 24, 23);
    ASSERT_TRUE(h.Encode(h.Request(*CompressPayload("quiz"), "", true)));
    const DecodeResult result = h.DecodeFile(h.SaveEncoded(), "bergen");
    EXPECT_TRUE(result.QuestionsStored);
    EXPECT_EQ(result.Outcome, NothingDecoded);
}

TEST(DecodeRun, ProgressShowsInitializingThenDecompressing)
{
    FlowHarness h;
    const DecodeResult result = h.DecodeFile(EncodedTextImage(h, "text"));
    ASSERT_EQ(result.Outcome, TextDecoded);
    const std::vector<std::string>& events = result.Events;
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 4),
        (std::vector<std::string> { "Created", "Show", "SetText Initializing", "SetPos 0" }));
    const auto at = [&](const std::string& e) { return std::find(events.begin(), events.end(), e) - events.begin(); };
    EXPECT_LT(at("SetText Mangling Password"), at("SetText Decompressing Data"));
    EXPECT_EQ(
        std::vector<std::string>(events.end() - 2, events.end()), (std::vector<std::string> { "Hide", "Destroyed" }));
}

TEST(DecodeRun, TextEndsAtItsFirstZeroByte)
{
    FlowHarness h;
    const DecodeResult result = h.DecodeFile(EncodedTextImage(h, std::string("before\0after", 12)));
    ASSERT_EQ(result.Outcome, TextDecoded);
    EXPECT_EQ(result.Holder, "before");
}

TEST(DecodeRun, DeclinedSavePromptWritesNothing)
{
    FlowHarness h;
    const std::string image = EncodedFileImage(h, "/home/u/notes.txt", NoiseBytes(300, 2));
    const std::string out = h.Front.Save.Folder.value();
    h.Front.Save.Folder.reset();
    FakeFrontend front;
    StegEngine engine;
    engine.SetFrontend(front.Get());
    ASSERT_TRUE(engine.LoadContainer(image));
    const DecodeResult result = FlowHarness::DecodeIn(engine, front, kPassword);
    EXPECT_EQ(result.Outcome, FileWritten);
    EXPECT_EQ(result.Holder, "");
    EXPECT_EQ(result.Offered, std::vector<std::string> { "notes.txt" });
    EXPECT_EQ(FilesIn(out), 0u);
}

TEST(DecodeRun, WithoutAPromptNothingIsWritten)
{
    FlowHarness h;
    const std::string image = EncodedFileImage(h, "notes.txt", NoiseBytes(300, 2));
    StegEngine engine;
    ASSERT_TRUE(engine.LoadContainer(image));
    QuestionSet set;
    engine.ReadStoredQuestions(set);
    std::string holder = "stale";
    EXPECT_EQ(RunDecode(engine, KeyDigests::FromText(kPassword), holder), FileWritten);
    EXPECT_EQ(holder, "");
}

TEST(DecodeRun, UnwritableTargetIsReportedWhileTheProgressIsUp)
{
    FlowHarness h;
    const std::string image = EncodedFileImage(h, "notes.txt", NoiseBytes(300, 2));
    FakeFrontend front;
    // A directory stands where the file would go.
    const std::string target = h.Scratch.File("blocked/notes.txt");
    std::filesystem::create_directories(target + "/inside");
    front.Save.FixedTarget = target;
    StegEngine engine;
    engine.SetFrontend(front.Get());
    ASSERT_TRUE(engine.LoadContainer(image));
    const DecodeResult result = FlowHarness::DecodeIn(engine, front, kPassword);
    EXPECT_EQ(result.Outcome, FileWritten);
    EXPECT_EQ(result.Holder, target);
    // Not the wrong-key message: the file could not be written, and why.
    EXPECT_EQ(result.Messages,
        std::vector<std::string> { "Stop: Could not write " + target + ": " + message::kNotARegularFile + "." });
    EXPECT_LT(
        front.Log.IndexOf("Stop: Could not decode any useful information from this image."), front.Log.IndexOf("Hide"));
    // No temporary file is left beside the target.
    EXPECT_EQ(FilesIn(h.Scratch.Path() + "/blocked"), 2u);
}

TEST(DecodeRun, DecodedFileReplacesAnExistingOneWhole)
{
    FlowHarness h;
    const std::vector<uint8_t> bytes = NoiseBytes(1000, 8);
    const std::string image = EncodedFileImage(h, "notes.txt", bytes);
    const std::string target = h.Front.Save.Folder.value() + "/notes.txt";
    WriteBytes(target, NoiseBytes(9000, 1));
    const DecodeResult result = h.DecodeFile(image);
    ASSERT_EQ(result.Outcome, FileWritten);
    EXPECT_EQ(ReadBytes(target), bytes);
    EXPECT_EQ(FilesIn(h.Front.Save.Folder.value()), 1u);
}

TEST(DecodeRun, ContainerTooSmallForAnyFieldDecodesNothing)
{
    FlowHarness h;
    // 36 x 36 at 24 bits: Capacity(5) = 3 * 1296 - 4096 < 0.
    h.LoadBitmap("tiny.bmp", 36, 36, 24, 24);
    ASSERT_LE(h.Engine.Capacity(5), 0);
    QuestionSet set;
    EXPECT_FALSE(h.Engine.ReadStoredQuestions(set));
    // The signature's 60 pixels are passed over as a writer leaves them.
    EXPECT_EQ((Position { h.Engine.CurX, h.Engine.CurY }), (Position { 26, 2 }));
    std::string holder;
    EXPECT_EQ(RunDecode(h.Engine, KeyDigests::FromText(kPassword), holder), NothingDecoded);
    EXPECT_TRUE(h.Front.Log.Messages().empty());
    EXPECT_EQ(h.Front.Progress.Created, 0);
}

// The stored name is untrusted: the name offered for saving is a bare,
// printable UTF-8 file name.
struct NameCase {
    const char* Label;
    std::string Given;
    std::string Offered;
};

const NameCase kNameCases[] = {
    { "UnixPath", "dir/sub/report.txt", "report.txt" },
    { "WindowsPath", "C:\\data\\report.txt", "report.txt" },
    { "SixtyBytes", std::string(56, 'n') + ".txt", std::string(46, 'n') + ".txt" },
    { "HiddenName", "/home/u/.bash_profile", "_bash_profile" },
    { "LongUtf8",
        [] {
            std::string s;
            for (int i = 0; i < 30; ++i)
                s += "\xC3\xA9";
            return s;
        }(),
        [] {
            std::string s;
            for (int i = 0; i < 25; ++i)
                s += "\xC3\xA9";
            return s;
        }() },
    { "Utf8CutInsideACharacter",
        "a" +
            [] {
                std::string s;
                for (int i = 0; i < 30; ++i)
                    s += "\xE2\x82\xAC";
                return s;
            }(),
        "a" +
            [] {
                std::string s;
                for (int i = 0; i < 16; ++i)
                    s += "\xE2\x82\xAC";
                return s;
            }() },
    { "DotDot", "/tmp/..", "decoded.bin" },
    { "Dot", ".", "decoded.bin" },
    { "Windows1252", "caf\xE9.txt", "caf\xC3\xA9.txt" },
    { "ControlCharacters",
        "a\x01"
        "b\x7F.txt",
        "a_b_.txt" },
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.Label;
}

class StoredNameRoundTrip : public testing::TestWithParam<NameCase> { };

TEST_P(StoredNameRoundTrip, OffersASafeName)
{
    const NameCase& c = GetParam();
    FlowHarness h;
    const std::vector<uint8_t> bytes = NoiseBytes(64, 3);
    const DecodeResult result = h.DecodeFile(EncodedFileImage(h, c.Given, bytes));
    ASSERT_EQ(result.Outcome, FileWritten);
    EXPECT_EQ(result.Offered, std::vector<std::string> { c.Offered });
    EXPECT_EQ(ReadBytes(h.Front.Save.Folder.value() + "/" + c.Offered), bytes);
}

INSTANTIATE_TEST_SUITE_P(Names, StoredNameRoundTrip, testing::ValuesIn(kNameCases),
    [](const auto& info) { return std::string(info.param.Label); });

// A noise image stores the bare name, at most 30 bytes with its extension
// kept, so no folder leaks and the reader finds the closing Marker.
TEST(DecodeRun, NoiseImageStoresTheBareNameWithItsExtension)
{
    const std::pair<std::string, std::string> cases[] = {
        { "/home/someone/documents/projects/2024/report.txt", "report.txt" },
        { "/home/ann/Quarterly board budget draft final.xlsx", "Quarterly board budget dr.xlsx" },
        { "C:\\Users\\ann\\Confidential minutes of the meeting", "Confidential minutes of the me" },
    };
    for (const auto& [given, offered] : cases) {
        FlowHarness h;
        EncodeRequest request = h.Request(*CompressPayload("file body"), given, false);
        request.Noise = true;
        ASSERT_TRUE(h.Encode(request));
        const DecodeResult result = h.DecodeFile(h.SaveEncoded());
        ASSERT_EQ(result.Outcome, FileWritten);
        EXPECT_EQ(result.Offered, std::vector<std::string> { offered });
        EXPECT_EQ(ReadBytes(result.Holder), (std::vector<uint8_t> { 'f', 'i', 'l', 'e', ' ', 'b', 'o', 'd', 'y' }));
    }
}

} // namespace
} // namespace lumaquill::test
