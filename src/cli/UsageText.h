#pragma once

#include <iosfwd>
#include <string_view>

namespace lumaquill {

// How a command reports a command line it cannot accept.
class UsageText {
public:
    // The synopsis: a usage text up to its first empty line.
    static std::string_view Synopsis(std::string_view usage);
    // Prints "lumaquill-cli COMMAND: PROBLEM", the command's synopsis and a
    // pointer to its --help; returns ExitUsage.
    static int Report(std::ostream& err, std::string_view command, std::string_view problem, std::string_view usage);
};

} // namespace lumaquill
