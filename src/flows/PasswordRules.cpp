#include "flows/PasswordRules.h"

namespace lumaquill {

namespace {

// The shortest password accepted when encoding, in bytes.
constexpr size_t kMinPasswordBytes = 4;

} // namespace

std::string EncodePasswordProblem(std::string_view password, std::optional<std::string_view> confirmation)
{
    if (password.empty())
        return "Please enter a password.";
    if (confirmation && confirmation->empty())
        return "Please enter the password twice.";
    if (confirmation && *confirmation != password)
        return "Passwords do not match.";
    if (password.size() < kMinPasswordBytes)
        return "Passwords should be at least four characters long.";
    return {};
}

std::string DecodePasswordProblem(std::string_view password)
{
    return password.empty() ? "Please enter a password." : std::string();
}

} // namespace lumaquill
