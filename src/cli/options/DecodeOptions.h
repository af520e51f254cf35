#pragma once

#include "cli/options/KeySource.h"

#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

// The decode command line, checked for completeness and conflicts.
struct DecodeOptions {
    bool Help = false;
    std::string ImagePath;
    KeySource Key = KeySource::Prompt;
    std::string Password;
    std::vector<std::string> Answers;
    // Where a decoded file goes: OutPath when given, else OutDir under the
    // name stored with the file (the current folder when OutDir is empty).
    std::string OutPath;
    std::string OutDir;
    // An existing file is replaced only with --force.
    bool Force = false;

    static std::optional<DecodeOptions> Parse(const std::vector<std::string>& args, std::string& error);
    static const char* Usage();
};

} // namespace lumaquill
