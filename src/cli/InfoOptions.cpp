#include "cli/InfoOptions.h"

#include "cli/CliOptions.h"

#include <array>

namespace lumaquill {

namespace {

constexpr std::array kInfoRules = {
    OptionRule { "--help", 0, false },
    OptionRule { "--json", 0, false },
};

} // namespace

std::optional<InfoOptions> InfoOptions::Parse(const std::vector<std::string>& args, std::string& error)
{
    CliOptions options;
    InfoOptions result;
    if (!options.ParseCommand(args, kInfoRules, result.Help, error))
        return std::nullopt;
    if (result.Help)
        return result;
    if (!options.SingleImage(result.ImagePath, error))
        return std::nullopt;
    result.Json = options.Has("--json");
    return result;
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
