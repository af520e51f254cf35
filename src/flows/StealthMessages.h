#pragma once

#include <string>

namespace lumaquill {

// The stealth refusals that name picture formats, whole: the fixed parts
// from message:: around the lists that PictureFormatTable gives, so that a
// format added to the table shows in them.
class StealthMessages {
public:
    // A noise picture offered as a stealth cover.
    static std::string NoNoise();
    // A cover saved in a lossy format; formatName is the format's name ("JPEG").
    static std::string LossyCover(const std::string& formatName);
    // A stealth JPEG asked of a cover that is not a JPEG.
    static std::string JpegNeedsJpegCover();
};

} // namespace lumaquill
