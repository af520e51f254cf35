#include "cli/options/InfoOptions.h"

#include "cli/options/CliOptions.h"

#include <array>

namespace lumaquill {

namespace {

constexpr std::array kInfoRules = {
    OptionRule { "--help", 0, false },
    OptionRule { "--json", 0, false },
};

bool TakeAll(const CliOptions& options, InfoOptions& result, std::string& error)
{
    result.Json = options.Has("--json");
    return options.SingleImage(result.ImagePath, error);
}

} // namespace

std::optional<InfoOptions> InfoOptions::Parse(const std::vector<std::string>& args, std::string& error)
{
    return CliOptions::ParseCommand(args, kInfoRules, error, &TakeAll);
}

const char* InfoOptions::Usage()
{
    return "Usage: lumaquill-cli info IMAGE [--json]\n"
           "\n"
           "Shows the image's size, its bits per pixel, how many bytes each embedding mode\n"
           "(0 to 4) can hide in it, the safe and largest sizes of a stealth image in it,\n"
           "and the questions and hints stored in it, if any.\n"
           "  --json               print the same as one JSON object\n";
}

} // namespace lumaquill
