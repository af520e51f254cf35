#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

// The info command line.
struct InfoOptions {
    bool Help = false;
    std::string ImagePath;
    bool Json = false;

    static std::optional<InfoOptions> Parse(const std::vector<std::string>& args, std::string& error);
    static const char* Usage();
};

} // namespace lumaquill
