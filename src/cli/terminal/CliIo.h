#pragma once

#include <iosfwd>

namespace lumaquill {

class TerminalInput;

// What a command talks to. Tests hand in string streams and a scripted
// terminal; the executable hands in the process's own.
struct CliIo {
    std::istream& In;
    std::ostream& Out;
    std::ostream& Err;
    // Null when standard input is not a terminal: nothing is then asked.
    TerminalInput* Terminal = nullptr;
    // Standard error is a terminal: progress is drawn there, else nothing.
    bool ErrIsTerminal = false;
    // Standard output is a terminal: a decoded text is shown there with its
    // control characters escaped, else written exactly.
    bool OutIsTerminal = false;
};

} // namespace lumaquill
