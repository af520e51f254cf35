#include "cli/steps/PasswordStep.h"

#include "cli/CliTestSupport.h"
#include "cli/terminal/CliIo.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lumaquill {
namespace {

using test::ScriptedTerminal;

struct ObtainRun {
    std::optional<std::string> Password;
    std::string Err;
    std::vector<std::string> Prompts;
};

// Standard input is a terminal when lines are given (the scripted terminal
// answers them), a pipe holding stdinText otherwise.
ObtainRun Obtain(KeySource source, const std::string& given, bool encoding, std::vector<std::string> lines,
    const std::string& stdinText = "")
{
    const bool terminalAttached = !lines.empty() || source == KeySource::Prompt;
    std::istringstream in(stdinText);
    std::ostringstream out;
    std::ostringstream err;
    ScriptedTerminal terminal(std::move(lines));
    CliIo io { in, out, err, terminalAttached ? &terminal : nullptr, false };
    ObtainRun run;
    run.Password = PasswordStep::Obtain(source, given, encoding, io);
    run.Err = err.str();
    run.Prompts = terminal.Prompts;
    for (bool echo : terminal.Echoes)
        EXPECT_FALSE(echo);
    return run;
}

TEST(PasswordStepTest, PromptAsksTwiceWhenEncoding)
{
    ObtainRun ok = Obtain(KeySource::Prompt, "", true, { "secret", "secret" });
    EXPECT_EQ(ok.Password, "secret");
    EXPECT_EQ(ok.Prompts, (std::vector<std::string> { "Password: ", "Confirm password: " }));

    ObtainRun mismatch = Obtain(KeySource::Prompt, "", true, { "secret", "secreT" });
    EXPECT_FALSE(mismatch.Password);
    EXPECT_EQ(mismatch.Err, "Passwords do not match.\n");

    ObtainRun once = Obtain(KeySource::Prompt, "", true, { "secret" });
    EXPECT_EQ(once.Err, "Please enter the password twice.\n");

    ObtainRun empty = Obtain(KeySource::Prompt, "", true, { "" });
    EXPECT_EQ(empty.Err, "Please enter a password.\n");
    EXPECT_EQ(empty.Prompts.size(), 1u);
}

TEST(PasswordStepTest, PromptAsksOnceWhenDecoding)
{
    ObtainRun run = Obtain(KeySource::Prompt, "", false, { "ab" });
    EXPECT_EQ(run.Password, "ab");
    EXPECT_EQ(run.Prompts, (std::vector<std::string> { "Password: " }));
}

TEST(PasswordStepTest, StdinTakesTheFirstLineWithoutItsLineEnd)
{
    EXPECT_EQ(Obtain(KeySource::PasswordStdin, "", true, {}, "pass word\r\nsecond\n").Password, "pass word");
    EXPECT_EQ(Obtain(KeySource::PasswordStdin, "", true, {}, "unterminated").Password, "unterminated");
    EXPECT_EQ(Obtain(KeySource::PasswordStdin, "", true, {}, "").Err, "Please enter a password.\n");
    EXPECT_EQ(Obtain(KeySource::Password, "abc", true, {}).Err, "Passwords should be at least four characters long.\n");
    EXPECT_EQ(Obtain(KeySource::Password, "abc", false, {}).Password, "abc");
}

// Typed on a terminal, --password-stdin gets the usual prompt without echo
// instead of reading an echoed line.
TEST(PasswordStepTest, StdinOnATerminalIsAskedForWithoutEcho)
{
    ObtainRun encoding = Obtain(KeySource::PasswordStdin, "", true, { "secret", "secret" }, "not this\n");
    EXPECT_EQ(encoding.Password, "secret");
    EXPECT_EQ(encoding.Prompts, (std::vector<std::string> { "Password: ", "Confirm password: " }));
    ObtainRun decoding = Obtain(KeySource::PasswordStdin, "", false, { "ab" }, "not this\n");
    EXPECT_EQ(decoding.Password, "ab");
    EXPECT_EQ(decoding.Prompts, (std::vector<std::string> { "Password: " }));
}

} // namespace
} // namespace lumaquill
