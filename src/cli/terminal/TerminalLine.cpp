#include "cli/terminal/TerminalLine.h"

#include <ostream>

namespace lumaquill {

TerminalLine::TerminalLine(std::ostream& err)
    : Err(err)
{
}

void TerminalLine::Draw(const std::string& text)
{
    Err << '\r' << text;
    if (text.size() < Width)
        Err << std::string(Width - text.size(), ' ');
    Err << std::flush;
    Width = text.size();
}

void TerminalLine::Clear()
{
    if (Width == 0)
        return;
    Err << '\r' << std::string(Width, ' ') << '\r' << std::flush;
    Width = 0;
}

} // namespace lumaquill
