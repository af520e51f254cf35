#pragma once

#include "cli/KeySource.h"

#include <optional>
#include <string>

namespace lumaquill {

struct CliIo;

// The password dialog's typed-password path for the command line: where
// the password comes from and the checks it must pass.
class PasswordStep {
public:
    // The message of the first check an encoding password fails, in the
    // dialog's order, or empty when it passes. Without a confirmation (a
    // password given once, by option or on standard input) the confirmation
    // checks do not apply.
    static std::string EncodeProblem(const std::string& password, const std::optional<std::string>& confirmation);
    // Decoding accepts any password that is not empty.
    static std::string DecodeProblem(const std::string& password);

    // The password from --password, from standard input, or asked on the
    // terminal (twice when encoding), once it passes the checks. Otherwise
    // the failed check's message is printed and nothing returned.
    // Precondition: source is Prompt only when io has a terminal.
    static std::optional<std::string> Obtain(KeySource source, const std::string& given, bool encoding, CliIo& io);

private:
    static std::optional<std::string> Ask(bool encoding, CliIo& io, std::optional<std::string>& confirmation);
};

} // namespace lumaquill
