#pragma once

#include "cli/options/KeySource.h"
#include "image/PictureFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

// The encode command line, checked for completeness and conflicts.
struct EncodeOptions {
    enum class PayloadKind { Text, TextFile, File };

    struct Quiz {
        std::string Question;
        std::string Hint;
        std::string Answer;
    };

    bool Help = false;
    // "-" writes the encoded image to standard output.
    std::string OutPath;
    // An existing OutPath (a regular file) may be replaced.
    bool Force = false;
    // Chosen by OutPath's extension.
    PictureFormat OutFormat = DefaultOutputFormat();
    std::string ContainerPath;
    // The noise container replaces any chosen container.
    bool Noise = false;
    bool Shrink = false;
    PayloadKind Kind = PayloadKind::Text;
    // The text itself, or the path of the text file or payload file.
    std::string PayloadArg;
    KeySource Key = KeySource::Prompt;
    std::string Password;
    std::vector<Quiz> Quizzes;
    int32_t Speed = 0;
    // --seal: a sealed image (passwords only).
    bool Seal = false;
    // --stealth: a stealth image (passwords only, sealed by its nature; not
    // with --noise, --shrink or --speed).
    bool Stealth = false;

    // Nothing, with error set, when the arguments are not a valid encode
    // command line. --help alone is always valid.
    static std::optional<EncodeOptions> Parse(const std::vector<std::string>& args, std::string& error);
    static const char* Usage();
};

} // namespace lumaquill
