#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace lumaquill {

// How the cover's colours are meant: an ICC profile (any format), or the
// PNG colour chunks. It is carried into PNG and WebP outputs so that the
// picture looks as before; a BMP output carries none. WebP keeps only the
// ICC profile.
struct ColourProfile {
    // The uncompressed ICC profile.
    std::vector<uint8_t> Icc;
    // PNG sRGB rendering intent.
    std::optional<uint8_t> SrgbIntent;
    // PNG gAMA: gamma x 100000.
    std::optional<uint32_t> Gamma;
    // PNG cHRM: white x, y, red x, y, green x, y, blue x, y, each x 100000.
    std::optional<std::array<uint32_t, 8>> Chromaticity;
};

} // namespace lumaquill
