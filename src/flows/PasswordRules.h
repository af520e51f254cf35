#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumaquill {

// The checks a typed password passes, shared by the password dialog and
// lumaquill-cli. Each returns the message of the first check that fails, in
// the order the user is told of them, or the empty text when the password
// is accepted.

// Encoding: not empty, confirmed, the same twice, at least four bytes. A
// password given once (by option or on standard input) has no confirmation,
// and the two confirmation checks do not apply to it.
std::string EncodePasswordProblem(std::string_view password, std::optional<std::string_view> confirmation);

// Decoding accepts any password that is not empty.
std::string DecodePasswordProblem(std::string_view password);

} // namespace lumaquill
