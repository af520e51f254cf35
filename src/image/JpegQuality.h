#pragma once

#include "image/JpegCoefficients.h"

#include <array>
#include <cstdint>

namespace lumaquill {

// The quality (1 to 100) a JPEG was most likely written at: the libjpeg
// quality whose scaled standard luminance table lies nearest (least sum of
// absolute differences) to the file's first table. Scaling: s = 5000 / q
// below 50, else 200 - 2 q; entry = (standard entry x s + 50) / 100,
// clamped to 1 .. 255.
class JpegQuality {
public:
    static int Estimate(const std::array<uint16_t, JpegCoefficients::kBlockCoefficients>& luminance);
    // The libjpeg luminance table of a quality, natural order.
    static std::array<uint16_t, JpegCoefficients::kBlockCoefficients> LuminanceTable(int quality);
};

} // namespace lumaquill
