#include "cli/commands/CommandLine.h"

#include "cli/CliTestSupport.h"
#include "cli/commands/ExitStatus.h"
#include "cli/terminal/CliIo.h"
#include "core/ProjectInfo.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace lumaquill {
namespace {

using test::ScriptedTerminal;
using test::TempDir;

// One in-process run of the command line over string streams.
struct Session {
    std::istringstream In;
    std::ostringstream Out;
    std::ostringstream Err;
    ScriptedTerminal Terminal;
    bool HasTerminal;

    explicit Session(std::vector<std::string> typed = {}, bool hasTerminal = false, std::string input = "")
        : In(std::move(input))
        , Terminal(std::move(typed))
        , HasTerminal(hasTerminal)
    {
    }

    int Run(const std::vector<std::string>& args)
    {
        CliIo io { In, Out, Err, HasTerminal ? &Terminal : nullptr, false };
        return CommandLine::Run(args, io);
    }
};

TEST(CommandLineTest, HelpAndUsageErrors)
{
    struct Case {
        const char* Name;
        std::vector<std::string> Args;
        int Status;
        bool UsageOnOut;
    };
    const Case cases[] = {
        { "help", { "--help" }, ExitOk, true },
        { "encode help", { "encode", "--help" }, ExitOk, true },
        { "decode help", { "decode", "-h" }, ExitOk, true },
        { "info help", { "info", "--help" }, ExitOk, true },
        { "nothing", {}, ExitUsage, false },
        { "unknown command", { "paint" }, ExitUsage, false },
        { "encode without payload", { "encode", "--out", "o.bmp", "--noise" }, ExitUsage, false },
        { "encode without key or terminal", { "encode", "--out", "o.bmp", "--noise", "--text", "t" }, ExitUsage,
            false },
        { "decode without image", { "decode", "--password", "x" }, ExitUsage, false },
        { "info with two images", { "info", "a.bmp", "b.bmp" }, ExitUsage, false },
    };
    for (const Case& c : cases) {
        Session session;
        EXPECT_EQ(session.Run(c.Args), c.Status) << c.Name;
        const std::string& usage = c.UsageOnOut ? session.Out.str() : session.Err.str();
        EXPECT_NE(usage.find("Usage: lumaquill-cli"), std::string::npos) << c.Name;
    }
}

TEST(CommandLineTest, VersionNamesTheRelease)
{
    Session session;
    EXPECT_EQ(session.Run({ "--version" }), ExitOk);
    EXPECT_EQ(session.Out.str(), "lumaquill-cli " + std::string(kProjectVersion) + "\n");
    EXPECT_EQ(session.Err.str(), "");
    // A release version: MAJOR.MINOR.PATCH, digits only.
    EXPECT_EQ(std::count(kProjectVersion.begin(), kProjectVersion.end(), '.'), 2);
    EXPECT_EQ(kProjectVersion.find_first_not_of("0123456789."), std::string_view::npos);
}

TEST(CommandLineTest, FileThatIsNoBitmapIsNoContainer)
{
    TempDir dir;
    test::WriteFile(dir / "not.bmp", "plain text, no bitmap");
    const std::string notAPicture = "No container image selected. \"" + dir / "not.bmp"
        + "\": it is not a picture Lumaquill reads (PNG, JPEG, WebP, HEIC, AVIF or BMP).\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> lines = {
        { { "encode", "--out", dir / "o.bmp", "--container", dir / "not.bmp", "--text", "t", "--password", "abcd" },
            notAPicture },
        { { "decode", dir / "not.bmp", "--password", "abcd" }, notAPicture },
        { { "decode", dir / "missing.bmp", "--password", "abcd" },
            "No container image selected. \"" + dir / "missing.bmp" + "\": the file does not exist.\n" },
        { { "info", dir / "not.bmp" }, notAPicture },
    };
    for (const auto& [args, message] : lines) {
        Session session;
        EXPECT_EQ(session.Run(args), ExitFailure) << args[0];
        EXPECT_EQ(session.Err.str(), message) << args[0];
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "o.bmp"));
}

TEST(CommandLineTest, EightBitImageIsShownButIsNoContainer)
{
    TempDir dir;
    test::WriteBmp8(dir / "grey.bmp", 21, 9);
    Session info;
    EXPECT_EQ(info.Run({ "info", dir / "grey.bmp", "--json" }), ExitOk) << info.Err.str();
    EXPECT_NE(info.Out.str().find("\"width\": 21,\n  \"height\": 9,\n  \"bits_per_pixel\": 8,\n  \"usable\": false,\n"
                                  "  \"capacity\": [],\n  \"questions\": []\n}\n"),
        std::string::npos)
        << info.Out.str();

    Session decode;
    EXPECT_EQ(decode.Run({ "decode", dir / "grey.bmp", "--password", "abcd" }), ExitFailure);
    EXPECT_EQ(decode.Err.str(),
        "No container image selected. \"" + dir / "grey.bmp"
            + "\": it has 8 bits per pixel; a container needs 24 or "
              "32.\n");
}

TEST(CommandLineTest, EncodePromptChecksThePasswordAfterTheContainer)
{
    TempDir dir;
    test::WriteBmp24(dir / "c.bmp", 47, 33);
    const std::vector<std::string> args
        = { "encode", "--out", dir / "o.bmp", "--container", dir / "c.bmp", "--text", "t" };
    Session mismatch({ "secret", "Secret" }, true);
    EXPECT_EQ(mismatch.Run(args), ExitUsage);
    EXPECT_EQ(mismatch.Err.str(), "Passwords do not match.\n");
    EXPECT_EQ(mismatch.Terminal.Prompts, (std::vector<std::string> { "Password: ", "Confirm password: " }));
    EXPECT_FALSE(std::filesystem::exists(dir / "o.bmp"));

    Session short3({ "abc", "abc" }, true);
    EXPECT_EQ(short3.Run(args), ExitUsage);
    EXPECT_EQ(short3.Err.str(), "Passwords should be at least four characters long.\n");
}

TEST(CommandLineTest, PromptedEncodeAndDecodeInProcess)
{
    TempDir dir;
    test::WriteBmp24(dir / "c.bmp", 47, 33);
    Session encode({ "s3cret", "s3cret" }, true);
    ASSERT_EQ(
        encode.Run({ "encode", "--out", dir / "o.bmp", "--container", dir / "c.bmp", "--text", "in process" }), ExitOk)
        << encode.Err.str();

    Session decode({ "s3cret" }, true);
    EXPECT_EQ(decode.Run({ "decode", dir / "o.bmp" }), ExitOk) << decode.Err.str();
    EXPECT_EQ(decode.Out.str(), "in process");
    EXPECT_EQ(decode.Terminal.Prompts, (std::vector<std::string> { "Password: " }));
}

TEST(CommandLineTest, StoredQuestionsAreAskedOnTheTerminal)
{
    TempDir dir;
    test::WriteBmp24(dir / "c.bmp", 47, 33);
    Session encode;
    ASSERT_EQ(encode.Run({ "encode", "--out", dir / "o.bmp", "--container", dir / "c.bmp", "--text", "quiz", "--quiz",
                  "Pet?", "Four legs", "Rex", "--quiz", "Town?", "", "Oslo" }),
        ExitOk)
        << encode.Err.str();

    Session decode({ "Rex", "Oslo" }, true);
    EXPECT_EQ(decode.Run({ "decode", dir / "o.bmp" }), ExitOk) << decode.Err.str();
    EXPECT_EQ(decode.Out.str(), "quiz");
    EXPECT_EQ(decode.Terminal.Prompts, (std::vector<std::string> { "Answer: ", "Answer: " }));
    // Answers are keys: never echoed.
    EXPECT_EQ(decode.Terminal.Echoes, (std::vector<bool> { false, false }));
    EXPECT_NE(decode.Err.str().find("Question #1: Pet?\nHint: Four legs\n"), std::string::npos);
    EXPECT_NE(decode.Err.str().find("Question #2: Town?\nHint: \n"), std::string::npos);
}

} // namespace
} // namespace lumaquill
