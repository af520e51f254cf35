#include "cli/options/UsageText.h"

#include "cli/commands/ExitStatus.h"

#include <cassert>
#include <ostream>

namespace lumaquill {

std::string_view UsageText::Synopsis(std::string_view usage)
{
    size_t end = usage.find("\n\n");
    return end == std::string_view::npos ? usage : usage.substr(0, end + 1);
}

std::string UsageText::Synopses(std::span<const std::string_view> usages)
{
    std::string list;
    for (std::string_view usage : usages) {
        const std::string_view synopsis = Synopsis(usage);
        assert(synopsis.starts_with(kPrefix));
        if (list.empty())
            list += synopsis;
        else
            list.append(kPrefix.size(), ' ').append(synopsis.substr(kPrefix.size()));
    }
    return list;
}

int UsageText::Report(std::ostream& err, std::string_view command, std::string_view problem, std::string_view usage)
{
    err << "lumaquill-cli " << command << ": " << problem << '\n'
        << Synopsis(usage) << "Run 'lumaquill-cli " << command << " --help' for details.\n"
        << std::flush;
    return ExitUsage;
}

} // namespace lumaquill
