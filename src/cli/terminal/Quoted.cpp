#include "cli/terminal/Quoted.h"

#include "cli/terminal/DisplayText.h"

namespace lumaquill {

std::string Quoted(std::string_view path)
{
    return "\"" + DisplayText::ForTerminal(path) + "\"";
}

} // namespace lumaquill
