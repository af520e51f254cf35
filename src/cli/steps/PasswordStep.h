#pragma once

#include "cli/options/KeySource.h"

#include <optional>
#include <string>

namespace lumaquill {

struct CliIo;

// The password dialog's typed-password path for the command line: where
// the password comes from; it must pass the checks of PasswordRules.
class PasswordStep {
public:
    // The password from --password, from standard input, or asked on the
    // terminal (twice when encoding), once it passes the checks. Otherwise
    // the failed check's message is printed and nothing returned.
    // Precondition: source is Prompt only when io has a terminal.
    static std::optional<std::string> Obtain(KeySource source, const std::string& given, bool encoding, CliIo& io);

private:
    static std::optional<std::string> Ask(bool encoding, CliIo& io, std::optional<std::string>& confirmation);
};

} // namespace lumaquill
