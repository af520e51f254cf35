#include "flows/PasswordRules.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

// The four checks, in the order the user is told of them.
TEST(PasswordRulesTest, EncodeChecks)
{
    struct Case {
        const char* Name;
        std::string Password;
        std::optional<std::string> Confirmation;
        std::string Problem;
    };
    const Case cases[] = {
        { "empty", "", std::string("abcd"), "Please enter a password." },
        { "empty without confirmation", "", std::nullopt, "Please enter a password." },
        { "no confirmation typed", "abcd", std::string(""), "Please enter the password twice." },
        { "three typed differently", "abc", std::string("abd"), "Passwords do not match." },
        { "case differs", "Secret", std::string("secret"), "Passwords do not match." },
        { "three typed twice", "abc", std::string("abc"), "Passwords should be at least four characters long." },
        { "three given once", "abc", std::nullopt, "Passwords should be at least four characters long." },
        { "four bytes", "abcd", std::string("abcd"), "" },
        // Bytes count, not characters: two e-acutes are four bytes.
        { "two two-byte characters", "\xC3\xA9\xC3\xA9", std::nullopt, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodePasswordProblem(c.Password, c.Confirmation), c.Problem) << c.Name;
}

TEST(PasswordRulesTest, DecodeAcceptsAnyNonEmptyPassword)
{
    EXPECT_EQ(DecodePasswordProblem(""), "Please enter a password.");
    EXPECT_EQ(DecodePasswordProblem("x"), "");
}

} // namespace
} // namespace lumaquill
