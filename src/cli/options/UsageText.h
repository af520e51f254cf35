#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace lumaquill {

// How a command reports a command line it cannot accept, and how the
// program's own usage lists the commands.
class UsageText {
public:
    // Every usage text begins with this, then its synopsis.
    static constexpr std::string_view kPrefix = "Usage: ";

    // The synopsis: a usage text up to its first empty line.
    static std::string_view Synopsis(std::string_view usage);
    // The synopses of several usage texts as one list under a single
    // "Usage: ", each after the first indented as far as the first.
    static std::string Synopses(std::span<const std::string_view> usages);
    // Prints "lumaquill-cli COMMAND: PROBLEM", the command's synopsis and a
    // pointer to its --help; returns ExitUsage.
    static int Report(std::ostream& err, std::string_view command, std::string_view problem, std::string_view usage);
};

} // namespace lumaquill
