#pragma once

#include <cstddef>
#include <cstdint>

namespace lumaquill {
class DibImage;
}

namespace lumaquill::stealth {

// Where element e = 3 (y W + x) + c (c: 0 red, 1 green, 2 blue; y = 0 the
// top row) of a 24- or 32-bit picture lies among its stored rows, which run
// bottom-up with blue, green, red (and a fourth byte) per pixel.
class ElementSamples {
public:
    // REQUIRES: image valid with 24 or 32 bits per pixel.
    explicit ElementSamples(const DibImage& image);

    size_t Offset(uint64_t element) const
    {
        const uint64_t pixel = element / 3;
        const uint64_t channel = element - 3 * pixel;
        const uint64_t y = pixel / Width;
        const uint64_t x = pixel - y * Width;
        return static_cast<size_t>((Height - 1 - y) * Stride + x * PixelBytes + 2 - channel);
    }

private:
    uint64_t Width;
    uint64_t Height;
    uint64_t Stride;
    uint64_t PixelBytes;
};

} // namespace lumaquill::stealth
