#pragma once

#include <cstdint>

namespace lumaquill {

class DibImage;

// Reads the rows of a 24- or 32-bit image top-down as 8-bit samples for
// the encoders.
class DibSamples {
public:
    // Some fourth byte of a 32-bit image is not 0. When all are 0 (the
    // unused byte of most 32-bit bitmaps) the picture is written opaque, so
    // that it does not come out invisible; the fourth byte never carries
    // hidden data, so either form decodes the same.
    static bool HasAlpha(const DibImage& image);
    // width x 3 bytes R G B.
    static void ReadRgb(const DibImage& image, uint32_t fromTop, uint8_t* out);
    // width x 4 bytes R G B A; a 24-bit image, or opaque set, gives A 255.
    static void ReadRgba(const DibImage& image, uint32_t fromTop, uint8_t* out, bool opaque);
};

} // namespace lumaquill
