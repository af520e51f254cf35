#include "cli/Quoted.h"

#include "cli/DisplayText.h"

namespace lumaquill {

std::string Quoted(std::string_view path)
{
    return "\"" + DisplayText::ForTerminal(path) + "\"";
}

} // namespace lumaquill
