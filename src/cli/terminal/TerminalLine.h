#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace lumaquill {

// The one status line at the bottom of a terminal, redrawn in place with a
// carriage return. Progress draws it; messages clear it first so that they
// start on a line of their own.
class TerminalLine {
public:
    explicit TerminalLine(std::ostream& err);

    // Replaces what the line shows.
    void Draw(const std::string& text);
    // Blanks the line and returns to its start; nothing when it is empty.
    void Clear();

private:
    std::ostream& Err;
    size_t Width = 0;
};

} // namespace lumaquill
