#include "cli/options/KeyOptions.h"

#include "cli/options/CliOptions.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using Args = std::vector<std::string>;

// Parses args with the key options as the command's only options, then
// takes the key from them; error holds the first problem of either step.
std::optional<KeyOptions::Choice> TakeKey(const KeyOptions& keyOptions, const Args& args, std::string& error)
{
    CliOptions options;
    if (!options.Parse(args, keyOptions.Rules())) {
        error = options.Error();
        return std::nullopt;
    }
    return keyOptions.Take(options, error);
}

struct Accepted {
    const char* Name;
    KeyOptions Options;
    Args Arguments;
    KeySource Key;
    std::string Password;
    std::vector<Args> Questions;
};

TEST(KeyOptionsTest, EachOption)
{
    const KeyOptions encode = KeyOptions::ForEncode();
    const KeyOptions decode = KeyOptions::ForDecode();
    const Accepted cases[] = {
        { "none: asked on the terminal", encode, {}, KeySource::Prompt, "", {} },
        { "password", encode, { "--password", "pw" }, KeySource::Password, "pw", {} },
        { "password after equals", decode, { "--password=p=w" }, KeySource::Password, "p=w", {} },
        { "password that starts with a dash", decode, { "--password", "-x" }, KeySource::Password, "-x", {} },
        { "empty password", encode, { "--password", "" }, KeySource::Password, "", {} },
        { "password from standard input", decode, { "--password-stdin" }, KeySource::PasswordStdin, "", {} },
        { "questions in order", encode, { "--quiz", "Q1", "H1", "A1", "--quiz", "", "", "" }, KeySource::Quiz, "",
            { { "Q1", "H1", "A1" }, { "", "", "" } } },
        { "answers in order", decode, { "--answer", "b", "--answer", "", "--answer", "a" }, KeySource::Answers, "",
            { { "b" }, { "" }, { "a" } } },
    };
    for (const Accepted& c : cases) {
        std::string error;
        const std::optional<KeyOptions::Choice> choice = TakeKey(c.Options, c.Arguments, error);
        ASSERT_TRUE(choice) << c.Name << ": " << error;
        EXPECT_EQ(choice->Key, c.Key) << c.Name;
        EXPECT_EQ(choice->Password, c.Password) << c.Name;
        EXPECT_EQ(choice->Questions, c.Questions) << c.Name;
    }
}

struct Rejected {
    const char* Name;
    KeyOptions Options;
    Args Arguments;
    const char* Error;
};

TEST(KeyOptionsTest, MissingRepeatedAndConflictingOptions)
{
    const KeyOptions encode = KeyOptions::ForEncode();
    const KeyOptions decode = KeyOptions::ForDecode();
    const Rejected cases[] = {
        { "password without its value", encode, { "--password" }, "--password needs a value" },
        { "question without its answer", encode, { "--quiz", "Q", "H" }, "--quiz needs 3 values" },
        { "answer without its value", decode, { "--answer" }, "--answer needs a value" },
        { "password twice", decode, { "--password", "a", "--password", "b" }, "--password given more than once" },
        { "password-stdin twice", encode, { "--password-stdin", "--password-stdin" },
            "--password-stdin given more than once" },
        { "password-stdin with a value", decode, { "--password-stdin=pw" }, "--password-stdin does not take \"=\"" },
        { "question after equals", encode, { "--quiz=Q" }, "--quiz does not take \"=\"" },
        { "password and password-stdin", encode, { "--password", "pw", "--password-stdin" },
            "give only one of --password, --password-stdin and --quiz" },
        { "password-stdin and password", decode, { "--password-stdin", "--password", "pw" },
            "give only one of --password, --password-stdin and --answer" },
        { "password and question", encode, { "--quiz", "Q", "H", "A", "--password", "pw" },
            "give only one of --password, --password-stdin and --quiz" },
        { "answer and password-stdin", decode, { "--answer", "A", "--password-stdin" },
            "give only one of --password, --password-stdin and --answer" },
        { "all three", decode, { "--password", "pw", "--password-stdin", "--answer", "A" },
            "give only one of --password, --password-stdin and --answer" },
        { "decode's answer given to encode", encode, { "--answer", "A" }, "unknown option --answer" },
        { "encode's question given to decode", decode, { "--quiz", "Q", "H", "A" }, "unknown option --quiz" },
    };
    for (const Rejected& c : cases) {
        std::string error;
        EXPECT_FALSE(TakeKey(c.Options, c.Arguments, error)) << c.Name;
        EXPECT_EQ(error, c.Error) << c.Name;
    }
}

} // namespace
} // namespace lumaquill
