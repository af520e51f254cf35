#include "flows/PasswordRules.h"

namespace lumaquill {

namespace {

// The shortest password accepted when encoding, in bytes.
constexpr size_t kMinPasswordBytes = 4;

} // namespace

std::string EncodePasswordProblem(const std::string& password, const std::optional<std::string>& confirmation)
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

std::string DecodePasswordProblem(const std::string& password)
{
    return password.empty() ? "Please enter a password." : std::string();
}

} // namespace lumaquill
