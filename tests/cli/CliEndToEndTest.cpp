#include "cli/CliTestSupport.h"
#include "flows/Payload.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using test::CliRun;
using test::ReadFile;
using test::RunCli;
using test::WriteFile;

constexpr const char* kNothingDecoded = "Could not decode any useful information from this image.\n";

// Every test runs the real executable in a folder of its own, with a 101 x 67
// container.
class CliEndToEndTest : public test::CliFolderTest {
protected:
    CliRun Encode(const std::string& out, std::vector<std::string> extra)
    {
        std::vector<std::string> args = { "encode", "--out", out, "--container", "c.bmp" };
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }
};

TEST_F(CliEndToEndTest, TextComesBackOnStdoutByteForByte)
{
    const std::string text = "Zw\xC3\xB6lf Boxk\xC3\xA4mpfer\n\tjagen Viktor \r\n  ";
    CliRun encode = Encode("o.bmp", { "--text", text, "--password", "correct horse" });
    ASSERT_EQ(encode.Status, 0) << encode.Err;
    EXPECT_EQ(encode.Out, "");
    EXPECT_EQ(test::BmpSize(Dir / "o.bmp"), std::make_pair(101, 67));

    CliRun decode = Run({ "decode", "o.bmp", "--password", "correct horse" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(decode.Out, text);
}

TEST_F(CliEndToEndTest, WrongPasswordDecodesNothing)
{
    ASSERT_EQ(Encode("o.bmp", { "--text", "secret", "--password", "right one" }).Status, 0);
    CliRun decode = Run({ "decode", "o.bmp", "--password", "wrong one" });
    EXPECT_EQ(decode.Status, 1);
    EXPECT_EQ(decode.Out, "");
    EXPECT_EQ(decode.Err, kNothingDecoded);
}

TEST_F(CliEndToEndTest, TextFileAndPasswordOnStdin)
{
    const std::string bytes = "line one\nline two\x01\xFF";
    WriteFile(Dir / "note.txt", bytes);
    CliRun encode
        = Run({ "encode", "--out", "o.bmp", "--container", "c.bmp", "--text-file", "note.txt", "--password-stdin" },
            "pass phrase\r\nnot this\n");
    ASSERT_EQ(encode.Status, 0) << encode.Err;

    CliRun decode = Run({ "decode", "o.bmp", "--password", "pass phrase" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(decode.Out, bytes);
}

// A decoded text ends at its first zero byte, so a text file holding one is
// encoded as given but warned about.
TEST_F(CliEndToEndTest, TextFileWithAZeroByteComesBackUpToIt)
{
    WriteFile(Dir / "binary.txt", std::string("before\0after", 12));
    CliRun encode = Run(
        { "encode", "--out", "o.bmp", "--container", "c.bmp", "--text-file", "binary.txt", "--password", "abcd" });
    ASSERT_EQ(encode.Status, 0) << encode.Err;
    EXPECT_NE(encode.Err.find("zero byte"), std::string::npos) << encode.Err;
    CliRun decode = Run({ "decode", "o.bmp", "--password", "abcd" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(decode.Out, "before");
}

TEST_F(CliEndToEndTest, FileGoesIntoOutDirUnderItsNameAndIsReplacedOnlyWithForce)
{
    const std::string payload = test::Incompressible(300, 7) + std::string(200, 'a');
    WriteFile(Dir / "report.bin", payload);
    ASSERT_EQ(Encode("o.bmp", { "--file", "report.bin", "--password", "abcd" }).Status, 0);
    std::filesystem::create_directory(Dir / "got");

    CliRun first = Run({ "decode", "o.bmp", "--password", "abcd", "--out-dir", "got" });
    EXPECT_EQ(first.Status, 0) << first.Err;
    EXPECT_EQ(first.Out, "");
    EXPECT_EQ(ReadFile(Dir / "got/report.bin"), payload);

    WriteFile(Dir / "got/report.bin", "changed since");
    CliRun again = Run({ "decode", "o.bmp", "--password", "abcd", "--out-dir", "got" });
    EXPECT_EQ(again.Status, 1);
    EXPECT_NE(again.Err.find("already exists; use --force to replace it."), std::string::npos) << again.Err;
    EXPECT_EQ(ReadFile(Dir / "got/report.bin"), "changed since");

    CliRun forced = Run({ "decode", "o.bmp", "--password", "abcd", "--out-dir", "got", "--force" });
    EXPECT_EQ(forced.Status, 0) << forced.Err;
    EXPECT_EQ(ReadFile(Dir / "got/report.bin"), payload);

    CliRun named = Run({ "decode", "o.bmp", "--password", "abcd", "--out", "elsewhere.dat" });
    EXPECT_EQ(named.Status, 0) << named.Err;
    EXPECT_EQ(ReadFile(Dir / "elsewhere.dat"), payload);

    CliRun noFolder = Run({ "decode", "o.bmp", "--password", "abcd", "--out-dir", "missing" });
    EXPECT_EQ(noFolder.Status, 1);
    EXPECT_EQ(noFolder.Err, "There is no folder \"missing\"; the decoded file was not saved.\n");

    // The target's folder is missing: the file could not be written, and
    // the system says why; no word of a wrong key.
    CliRun unwritable = Run({ "decode", "o.bmp", "--password", "abcd", "--out", "missing/x.bin" });
    EXPECT_EQ(unwritable.Status, 1);
    EXPECT_EQ(unwritable.Err, "Could not write missing/x.bin: No such file or directory.\n");

    std::filesystem::remove(Dir / "report.bin");
    CliRun here = Run({ "decode", "o.bmp", "--password", "abcd" });
    EXPECT_EQ(here.Status, 0) << here.Err;
    EXPECT_EQ(ReadFile(Dir / "report.bin"), payload);
}

TEST_F(CliEndToEndTest, QuestionsInsteadOfAPassword)
{
    // The empty second question leaves its slot unused, so the third moves up.
    CliRun encode = Encode("q.bmp",
        { "--text", "behind questions", "--quiz", "First pet?", "Optional", "Rex", "--quiz", "", "", "ignored",
            "--quiz", "Town?", "", "Oslo" });
    ASSERT_EQ(encode.Status, 0) << encode.Err;

    CliRun right = Run({ "decode", "q.bmp", "--answer", "Rex", "--answer", "Oslo" });
    EXPECT_EQ(right.Status, 0) << right.Err;
    EXPECT_EQ(right.Out, "behind questions");

    CliRun wrong = Run({ "decode", "q.bmp", "--answer", "Rex", "--answer", "oslo" });
    EXPECT_EQ(wrong.Status, 1);
    EXPECT_EQ(wrong.Out, "");
    EXPECT_EQ(wrong.Err, std::string("Question #2: Unanswered\n") + kNothingDecoded);

    CliRun none = Run({ "decode", "q.bmp" });
    EXPECT_EQ(none.Status, 2);
    EXPECT_NE(none.Err.find("Question #1: First pet?\nHint: Optional\nQuestion #2: Town?\nHint: \n"), std::string::npos)
        << none.Err;

    EXPECT_EQ(Run({ "decode", "q.bmp", "--answer", "Rex" }).Status, 2);
    EXPECT_EQ(Run({ "decode", "q.bmp", "--password", "Rex Oslo" }).Status, 2);
}

TEST_F(CliEndToEndTest, AnswersToAnImageWithoutQuestionsAreAUsageError)
{
    ASSERT_EQ(Encode("o.bmp", { "--text", "t", "--password", "abcd" }).Status, 0);
    CliRun run = Run({ "decode", "o.bmp", "--answer", "abcd" });
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("stores no questions"), std::string::npos);
}

// Its key would be the empty text, which no decode accepts.
TEST_F(CliEndToEndTest, QuizWithoutAnyQuestionIsRefused)
{
    CliRun run = Encode("e.bmp", { "--text", "t", "--quiz", "", "hint", "answer" });
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, "Please enter a password.\n");
    EXPECT_FALSE(std::filesystem::exists(Dir / "e.bmp"));
}

TEST_F(CliEndToEndTest, InfoJsonShowsCapacitiesAndQuestions)
{
    ASSERT_EQ(Encode("q.bmp", { "--text", "t", "--quiz", "Say \"hi\"\tnow?", "caf\xC3\xA9", "hi" }).Status, 0);
    CliRun info = Run({ "info", "q.bmp", "--json" });
    EXPECT_EQ(info.Status, 0) << info.Err;
    // P = 76 * 67 * 4 / 3 = 6789 pixel slots; capacities P/8, P/3, P/2, P, 3P less 4096.
    // Stealth: 101 * 67 = 6767 pixels at 0.05 and 0.4 bits, as bytes, less
    // the envelope's 17.
    EXPECT_EQ(info.Out,
        "{\n"
        "  \"image\": \"q.bmp\",\n"
        "  \"format\": \"BMP\",\n"
        "  \"lossless\": true,\n"
        "  \"width\": 101,\n"
        "  \"height\": 67,\n"
        "  \"bits_per_pixel\": 24,\n"
        "  \"usable\": true,\n"
        "  \"largest_payload\": 2692,\n"
        "  \"noise_only_mode\": 4,\n"
        "  \"stealth_safe_size\": 25,\n"
        "  \"stealth_largest_size\": 321,\n"
        "  \"capacity\": [-3248, -1833, -702, 2693, 16271],\n"
        "  \"questions\": [\n"
        "    {\"question\": \"Say \\\"hi\\\"\\tnow?\", \"hint\": \"caf\xC3\xA9\"}\n"
        "  ],\n"
        "  \"sealed\": \"no\",\n"
        "  \"stealth\": \"no\"\n"
        "}\n");
}

TEST_F(CliEndToEndTest, InfoTextOnAPlainImage)
{
    test::WriteBmp24(Dir / "big.bmp", 640, 480);
    CliRun info = Run({ "info", "big.bmp" });
    EXPECT_EQ(info.Status, 0) << info.Err;
    // P = 640 * 480 = 307200 pixel slots; capacities P/8, P/3, P/2, P, 3P less 4096.
    // Stealth: P at 0.05 and 0.4 bits, as bytes, less the envelope's 17.
    EXPECT_EQ(info.Out,
        "Image: big.bmp\n"
        "Format: BMP\n"
        "Size: 640 x 480 pixels\n"
        "Bits per pixel: 24\n"
        "Largest payload: 303103 bytes (compressed)\n"
        "Capacity in bytes:\n"
        "  mode 0: 34304\n"
        "  mode 1: 98304\n"
        "  mode 2: 149504\n"
        "  mode 3: 303104\n"
        "  mode 4: 917504 (used only by generated noise images)\n"
        "Stealth sizes in bytes (compressed, with the file's name):\n"
        "  safe: 1903 (detectors stay near chance)\n"
        "  largest: 15343 (detectable above the safe size)\n"
        "Questions: none\n"
        "Sealed: unknown until opened\n"
        "Stealth: unknown until opened\n");
}

// Nothing in the image says it is sealed: decode needs no flag, and a wrong
// password says what it always says.
TEST_F(CliEndToEndTest, SealedTextAndFileComeBackWithThePasswordOnly)
{
    ASSERT_EQ(Encode("t.bmp", { "--text", "sealed words", "--password", "correct horse", "--seal" }).Status, 0);
    CliRun text = Run({ "decode", "t.bmp", "--password", "correct horse" });
    EXPECT_EQ(text.Status, 0) << text.Err;
    EXPECT_EQ(text.Out, "sealed words");
    CliRun wrong = Run({ "decode", "t.bmp", "--password", "correct horsE" });
    EXPECT_EQ(wrong.Status, 1);
    EXPECT_EQ(wrong.Err, kNothingDecoded);

    const std::string payload = test::Incompressible(700, 5);
    WriteFile(Dir / "payload.bin", payload);
    ASSERT_EQ(
        Run({ "encode", "--out", "f.bmp", "--noise", "--file", "payload.bin", "--password", "correct horse", "--seal" })
            .Status,
        0);
    CliRun file = Run({ "decode", "f.bmp", "--password", "correct horse", "--out", "back.bin" });
    EXPECT_EQ(file.Status, 0) << file.Err;
    EXPECT_EQ(ReadFile(Dir / "back.bin"), payload);

    CliRun info = Run({ "info", "t.bmp" });
    EXPECT_NE(info.Out.find("Sealed: unknown until opened\n"), std::string::npos) << info.Out;
}

// Quizlock stores the answers' digests in the clear: sealing them would
// promise what it cannot keep.
TEST_F(CliEndToEndTest, SealWithQuestionsIsAUsageError)
{
    CliRun run = Encode("q.bmp", { "--text", "t", "--quiz", "Q?", "H", "A", "--seal" });
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("--seal protects a password only"), std::string::npos) << run.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir / "q.bmp"));
}

TEST_F(CliEndToEndTest, NoiseReplacesTheContainer)
{
    CliRun encode = Run({ "encode", "--out", "n.bmp", "--container", "missing.bmp", "--noise", "--text", "noise",
        "--password", "abcd" });
    ASSERT_EQ(encode.Status, 0) << encode.Err;
    // A payload of at most 8 bytes gets the smallest noise picture.
    EXPECT_EQ(test::BmpSize(Dir / "n.bmp"), std::make_pair(69, 69));
    CliRun decode = Run({ "decode", "n.bmp", "--password", "abcd" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(decode.Out, "noise");
}

TEST_F(CliEndToEndTest, ShrinkFitsTheContainerToThePayload)
{
    // Stored deflate blocks: 989 bytes that do not compress make a 1000-byte stream.
    const std::string payload = test::Incompressible(989, 1);
    ASSERT_EQ(CompressPayload(payload)->size(), 1000u);
    WriteFile(Dir / "payload.bin", payload);
    test::WriteBmp24(Dir / "holiday.bmp", 100, 100);
    CliRun encode = Run({ "encode", "--out", "s.bmp", "--container", "holiday.bmp", "--shrink", "--file", "payload.bin",
        "--password", "abcd" });
    ASSERT_EQ(encode.Status, 0) << encode.Err;
    EXPECT_EQ(test::BmpSize(Dir / "s.bmp"), std::make_pair(87, 87));
    CliRun decode = Run({ "decode", "s.bmp", "--password", "abcd", "--out", "back.bin" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(ReadFile(Dir / "back.bin"), payload);
}

TEST_F(CliEndToEndTest, IdenticalInputsGiveIdenticalImages)
{
    WriteFile(Dir / "data.bin", test::Incompressible(150, 3));
    const std::vector<std::vector<std::string>> variants = {
        { "--file", "data.bin", "--password", "same key" },
        { "--text", "same text", "--quiz", "Q?", "H", "A" },
        { "--noise", "--text", "same text", "--password", "same key" },
    };
    for (auto extra : variants) {
        extra.push_back("--force");
        ASSERT_EQ(Encode("one.bmp", extra).Status, 0);
        ASSERT_EQ(Encode("two.bmp", extra).Status, 0);
        const std::string one = ReadFile(Dir / "one.bmp");
        EXPECT_FALSE(one.empty());
        EXPECT_TRUE(one == ReadFile(Dir / "two.bmp")) << extra[0];
        EXPECT_FALSE(one == ReadFile(Dir / "c.bmp")) << extra[0];
    }
}

TEST_F(CliEndToEndTest, UsageErrorsAndHelp)
{
    CliRun help = Run({ "--help" });
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("lumaquill-cli encode --out OUT.png"), std::string::npos);
    EXPECT_NE(Run({ "encode", "--help" }).Out.find("[--seal]"), std::string::npos);

    CliRun speed = Run({ "encode", "--out", "o.bmp", "--noise", "--text", "t", "--password", "abcd", "--speed", "5" });
    EXPECT_EQ(speed.Status, 2);
    EXPECT_NE(speed.Err.find("--speed takes 0, 1, 2, 3 or 4"), std::string::npos);

    // Standard input is a file here, so there is no terminal to ask.
    EXPECT_EQ(Run({ "encode", "--out", "o.bmp", "--noise", "--text", "t" }).Status, 2);
    CliRun shortPassword = Encode("o.bmp", { "--text", "t", "--password", "abc" });
    EXPECT_EQ(shortPassword.Status, 2);
    EXPECT_EQ(shortPassword.Err, "Passwords should be at least four characters long.\n");
    EXPECT_FALSE(std::filesystem::exists(Dir / "o.bmp"));
}

} // namespace
} // namespace lumaquill
