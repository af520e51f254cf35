#include "flows/PasswordRules.h"

#include "core/MessageText.h"

namespace lumaquill {

namespace {

// The shortest password accepted when encoding, in bytes.
constexpr size_t kMinPasswordBytes = 4;

} // namespace

std::string EncodePasswordProblem(std::string_view password, std::optional<std::string_view> confirmation)
{
    if (password.empty())
        return message::kEnterPassword;
    if (confirmation && confirmation->empty())
        return message::kEnterPasswordTwice;
    if (confirmation && *confirmation != password)
        return message::kPasswordsDiffer;
    if (password.size() < kMinPasswordBytes)
        return message::kPasswordTooShort;
    return {};
}

std::string DecodePasswordProblem(std::string_view password)
{
    return password.empty() ? std::string(message::kEnterPassword) : std::string();
}

} // namespace lumaquill
