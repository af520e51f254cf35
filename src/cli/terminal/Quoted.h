#pragma once

#include <string>
#include <string_view>

namespace lumaquill {

// A path or a name as the CLI's messages show it: in double quotes, with
// anything that could steer the terminal escaped (DisplayText::ForTerminal).
std::string Quoted(std::string_view path);

} // namespace lumaquill
