#pragma once

#include <optional>
#include <string>

namespace lumaquill {

// The terminal on standard input, for the questions a dialog would ask.
class TerminalInput {
public:
    virtual ~TerminalInput() = default;
    // Shows the prompt and reads one line without its line end; echo false
    // hides what is typed. Nothing at the end of input.
    virtual std::optional<std::string> ReadLine(const std::string& prompt, bool echo) = 0;
};

} // namespace lumaquill
