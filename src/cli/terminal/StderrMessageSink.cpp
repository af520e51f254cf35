#include "cli/terminal/StderrMessageSink.h"

#include "cli/terminal/TerminalLine.h"

#include <ostream>

namespace lumaquill {

StderrMessageSink::StderrMessageSink(std::ostream& err, TerminalLine* line)
    : Err(err)
    , Line(line)
{
}

void StderrMessageSink::ShowMessage(const std::string& text, MessageIcon)
{
    if (Line)
        Line->Clear();
    Err << text << '\n' << std::flush;
}

} // namespace lumaquill
