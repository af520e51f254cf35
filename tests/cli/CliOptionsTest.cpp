#include "cli/options/CliOptions.h"

#include "cli/options/DecodeOptions.h"
#include "cli/options/EncodeOptions.h"
#include "cli/options/InfoOptions.h"

#include <array>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using Args = std::vector<std::string>;

constexpr std::array kRules = {
    OptionRule { "--help", 0, false },
    OptionRule { "--out", 1, false },
    OptionRule { "--flag", 0, false },
    OptionRule { "--quiz", 3, true },
};

TEST(CliOptionsTest, SplitsOptionsValuesAndPositionals)
{
    CliOptions options;
    ASSERT_TRUE(
        options.Parse({ "a.bmp", "--out", "-x", "--quiz", "q", "", "a", "--flag", "--quiz", "1", "2", "3" }, kRules));
    EXPECT_EQ(options.Positionals(), Args { "a.bmp" });
    EXPECT_EQ(options.Value("--out"), "-x");
    EXPECT_TRUE(options.Has("--flag"));
    ASSERT_EQ(options.Occurrences("--quiz").size(), 2u);
    EXPECT_EQ(options.Occurrences("--quiz")[0], (Args { "q", "", "a" }));
    EXPECT_EQ(options.Occurrences("--quiz")[1], (Args { "1", "2", "3" }));
}

TEST(CliOptionsTest, EqualsFormDashHAndDoubleDash)
{
    CliOptions options;
    ASSERT_TRUE(options.Parse({ "--out=x=y", "-h", "--", "--flag", "-" }, kRules));
    EXPECT_EQ(options.Value("--out"), "x=y");
    EXPECT_TRUE(options.Has("--help"));
    EXPECT_FALSE(options.Has("--flag"));
    EXPECT_EQ(options.Positionals(), (Args { "--flag", "-" }));
}

TEST(CliOptionsTest, Problems)
{
    struct Case {
        const char* Name;
        Args Arguments;
        const char* Error;
    };
    const Case cases[] = {
        { "unknown", { "--nope" }, "unknown option --nope" },
        { "missing value", { "--out" }, "--out needs a value" },
        { "short quiz", { "--quiz", "q", "h" }, "--quiz needs 3 values" },
        { "twice", { "--out", "a", "--out", "b" }, "--out given more than once" },
        { "equals on a flag", { "--flag=1" }, "--flag does not take \"=\"" },
    };
    for (const Case& c : cases) {
        CliOptions options;
        EXPECT_FALSE(options.Parse(c.Arguments, kRules)) << c.Name;
        EXPECT_EQ(options.Error(), c.Error) << c.Name;
    }
}

Args EncodeArgs(Args extra)
{
    Args args = { "--out", "o.bmp" };
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

TEST(EncodeOptionsTest, AcceptedLines)
{
    std::string error;
    auto minimal
        = EncodeOptions::Parse(EncodeArgs({ "--container", "c.bmp", "--text", "", "--password", "pw" }), error);
    ASSERT_TRUE(minimal) << error;
    EXPECT_EQ(minimal->OutPath, "o.bmp");
    EXPECT_EQ(minimal->ContainerPath, "c.bmp");
    EXPECT_FALSE(minimal->Noise);
    EXPECT_EQ(minimal->Kind, EncodeOptions::PayloadKind::Text);
    EXPECT_EQ(minimal->PayloadArg, "");
    EXPECT_EQ(minimal->Key, KeySource::Password);
    EXPECT_EQ(minimal->Speed, 0);

    auto noise = EncodeOptions::Parse(
        EncodeArgs({ "--container", "c.bmp", "--noise", "--shrink", "--file", "f", "--speed", "4" }), error);
    ASSERT_TRUE(noise) << error;
    EXPECT_TRUE(noise->Noise);
    EXPECT_TRUE(noise->Shrink);
    EXPECT_EQ(noise->Kind, EncodeOptions::PayloadKind::File);
    EXPECT_EQ(noise->Key, KeySource::Prompt);
    EXPECT_EQ(noise->Speed, 4);

    // An empty question is an unused slot, with or without an answer.
    auto quiz = EncodeOptions::Parse(EncodeArgs({ "--noise", "--text-file", "t", "--quiz", "Q1", "H1", "A1", "--quiz",
                                         "", "", "A2", "--quiz", "", "", "" }),
        error);
    ASSERT_TRUE(quiz) << error;
    EXPECT_EQ(quiz->Key, KeySource::Quiz);
    ASSERT_EQ(quiz->Quizzes.size(), 3u);
    EXPECT_EQ(quiz->Quizzes[0].Hint, "H1");
    EXPECT_EQ(quiz->Quizzes[1].Answer, "A2");

    auto help = EncodeOptions::Parse({ "--help" }, error);
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->Help);
}

TEST(EncodeOptionsTest, RejectedLines)
{
    const Args five = { "--quiz", "1", "h", "a", "--quiz", "2", "h", "a", "--quiz", "3", "h", "a", "--quiz", "4", "h",
        "a", "--quiz", "5", "h", "a" };
    Args six = EncodeArgs({ "--noise", "--text", "t" });
    six.insert(six.end(), five.begin(), five.end());
    Args fiveOnly = six;
    six.insert(six.end(), { "--quiz", "6", "h", "a" });
    std::string error;
    EXPECT_TRUE(EncodeOptions::Parse(fiveOnly, error)) << error;

    struct Case {
        const char* Name;
        Args Arguments;
    };
    const Case cases[] = {
        { "no out", { "--noise", "--text", "t" } },
        { "empty out", { "--out", "", "--noise", "--text", "t" } },
        { "no container", EncodeArgs({ "--text", "t" }) },
        { "no payload", EncodeArgs({ "--noise" }) },
        { "two payloads", EncodeArgs({ "--noise", "--text", "t", "--file", "f" }) },
        { "text and text file", EncodeArgs({ "--noise", "--text", "t", "--text-file", "f" }) },
        { "password and quiz", EncodeArgs({ "--noise", "--text", "t", "--password", "pw", "--quiz", "q", "h", "a" }) },
        { "password twice over", EncodeArgs({ "--noise", "--text", "t", "--password", "pw", "--password-stdin" }) },
        { "six questions", six },
        { "question without answer", EncodeArgs({ "--noise", "--text", "t", "--quiz", "q", "h", "" }) },
        { "speed 5", EncodeArgs({ "--noise", "--text", "t", "--speed", "5" }) },
        { "speed -1", EncodeArgs({ "--noise", "--text", "t", "--speed", "-1" }) },
        { "speed 01", EncodeArgs({ "--noise", "--text", "t", "--speed", "01" }) },
        { "speed word", EncodeArgs({ "--noise", "--text", "t", "--speed", "fast" }) },
        { "decode option", EncodeArgs({ "--noise", "--text", "t", "--answer", "a" }) },
        { "positional", EncodeArgs({ "--noise", "--text", "t", "extra.bmp" }) },
    };
    for (const Case& c : cases) {
        error.clear();
        EXPECT_FALSE(EncodeOptions::Parse(c.Arguments, error)) << c.Name;
        EXPECT_FALSE(error.empty()) << c.Name;
    }
}

TEST(DecodeOptionsTest, AcceptedAndRejectedLines)
{
    std::string error;
    auto answers
        = DecodeOptions::Parse({ "i.bmp", "--answer", "a", "--answer", "", "--out-dir", "d", "--force" }, error);
    ASSERT_TRUE(answers) << error;
    EXPECT_EQ(answers->ImagePath, "i.bmp");
    EXPECT_EQ(answers->Key, KeySource::Answers);
    EXPECT_EQ(answers->Answers, (Args { "a", "" }));
    EXPECT_EQ(answers->OutDir, "d");
    EXPECT_TRUE(answers->Force);

    auto prompt = DecodeOptions::Parse({ "i.bmp" }, error);
    ASSERT_TRUE(prompt) << error;
    EXPECT_EQ(prompt->Key, KeySource::Prompt);
    EXPECT_TRUE(prompt->OutPath.empty() && prompt->OutDir.empty());

    const Args rejected[] = {
        {},
        { "a.bmp", "b.bmp" },
        { "i.bmp", "--out", "f", "--out-dir", "d" },
        { "i.bmp", "--password", "p", "--answer", "a" },
        { "i.bmp", "--password-stdin", "--password", "p" },
        { "i.bmp", "--speed", "1" },
        { "i.bmp", "--out-dir", "" },
    };
    for (const Args& args : rejected) {
        error.clear();
        EXPECT_FALSE(DecodeOptions::Parse(args, error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty());
    }
}

TEST(InfoOptionsTest, AcceptedAndRejectedLines)
{
    std::string error;
    auto json = InfoOptions::Parse({ "--json", "i.bmp" }, error);
    ASSERT_TRUE(json) << error;
    EXPECT_TRUE(json->Json);
    EXPECT_EQ(json->ImagePath, "i.bmp");
    EXPECT_FALSE(InfoOptions::Parse({}, error));
    EXPECT_FALSE(InfoOptions::Parse({ "a.bmp", "b.bmp" }, error));
    EXPECT_FALSE(InfoOptions::Parse({ "a.bmp", "--password", "x" }, error));
}

} // namespace
} // namespace lumaquill
