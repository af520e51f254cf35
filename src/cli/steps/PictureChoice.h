#pragma once

#include "image/LoadProblem.h"
#include "image/PictureFormat.h"

#include <optional>
#include <string>

namespace lumaquill {

class StegFlows;

// The CLI's side of the picture formats: which format --out asks for, and
// what is said about a picture that cannot be used.
class PictureChoice {
public:
    // PNG, BMP or WebP by the output name's extension (standard output, "-",
    // is PNG); otherwise nothing and a usage error text.
    static std::optional<PictureFormat> OutputFormat(const std::string& path, std::string& error);
    // The same for an encode with --stealth, which also writes a .jpg or
    // .jpeg name as a stealth JPEG (its cover must then be a JPEG).
    static std::optional<PictureFormat> StealthOutputFormat(const std::string& path, std::string& error);
    // "No container image selected." (or, for a lossy picture given to
    // decode, "Cannot decode"), the file's name and the reason; empty when
    // the chosen cover can be used.
    static std::string Refusal(const StegFlows& flows, const std::string& path, bool forDecode);
};

} // namespace lumaquill
