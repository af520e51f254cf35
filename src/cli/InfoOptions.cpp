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
    if (!options.Parse(args, kInfoRules)) {
        error = options.Error();
        return std::nullopt;
    }
    InfoOptions result;
    if (options.Has("--help")) {
        result.Help = true;
        return result;
    }
    if (!options.SingleImage(result.ImagePath, error))
        return std::nullopt;
    result.Json = options.Has("--json");
    return result;
}

const char* InfoOptions::Usage()
{
    return "Usage: lumaquill-cli info IMAGE.bmp [--json]\n"
           "\n"
           "Shows the image's size, its bits per pixel, how many bytes each embedding mode\n"
           "(0 to 4) can hide in it, and the questions and hints stored in it, if any.\n"
           "  --json               print the same as one JSON object\n";
}

} // namespace lumaquill
