#include "cli/terminal/TerminalProgressFactory.h"

#include "cli/terminal/TerminalProgress.h"

namespace lumaquill {

TerminalProgressFactory::TerminalProgressFactory(TerminalLine& line)
    : Line(line)
{
}

std::unique_ptr<ProgressSink> TerminalProgressFactory::CreateProgress()
{
    return std::make_unique<TerminalProgress>(Line);
}

} // namespace lumaquill
