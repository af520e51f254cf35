#pragma once

#include "cli/terminal/TerminalInput.h"

#include <iosfwd>

namespace lumaquill {

// Asks on the terminal behind a file descriptor (standard input): the
// prompt goes to err, hidden input turns the terminal's echo off for the
// length of one line and restores it, also when the process is interrupted;
// a stop (Ctrl-Z) brings echo back for the shell and the resume turns it
// off again.
class TerminalPrompt : public TerminalInput {
public:
    TerminalPrompt(int fd, std::istream& in, std::ostream& err);

    std::optional<std::string> ReadLine(const std::string& prompt, bool echo) override;

private:
    std::optional<std::string> ReadHidden();
    std::optional<std::string> ReadVisible();

    int Fd;
    std::istream& In;
    std::ostream& Err;
};

} // namespace lumaquill
