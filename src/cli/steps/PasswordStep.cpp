#include "cli/steps/PasswordStep.h"

#include "cli/terminal/CliIo.h"
#include "cli/terminal/TerminalInput.h"
#include "flows/PasswordRules.h"

#include <cassert>
#include <istream>
#include <ostream>

namespace lumaquill {

namespace {

std::string ReadStdinLine(std::istream& in)
{
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

std::optional<std::string> PasswordStep::Obtain(KeySource source, const std::string& given, bool encoding, CliIo& io)
{
    // A terminal on standard input gets the usual prompt without echo, also
    // with --password-stdin: the line is typed, not piped.
    std::optional<std::string> confirmation;
    std::optional<std::string> password;
    if (source == KeySource::Password)
        password = given;
    else if (source == KeySource::PasswordStdin && !io.Terminal)
        password = ReadStdinLine(io.In);
    else
        password = Ask(encoding, io, confirmation);
    std::string problem = encoding ? EncodePasswordProblem(*password, confirmation) : DecodePasswordProblem(*password);
    if (problem.empty())
        return password;
    io.Err << problem << '\n' << std::flush;
    return std::nullopt;
}

// The end of input counts as an empty line. The confirmation is only asked
// for when there is a password to confirm.
std::optional<std::string> PasswordStep::Ask(bool encoding, CliIo& io, std::optional<std::string>& confirmation)
{
    assert(io.Terminal);
    std::string password = io.Terminal->ReadLine("Password: ", false).value_or("");
    if (encoding && !password.empty())
        confirmation = io.Terminal->ReadLine("Confirm password: ", false).value_or("");
    return password;
}

} // namespace lumaquill
