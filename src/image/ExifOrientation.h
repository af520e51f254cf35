#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumaquill {

// The EXIF orientation of a picture (1 to 8; 1 is upright) and the
// transform that makes it upright.
class ExifOrientation {
public:
    // The orientation tag of an EXIF block ("Exif\0\0" and a TIFF
    // structure), or 1 when there is none or it is out of range.
    static int FromExif(const uint8_t* data, size_t size);
    // Orientations 5 to 8 swap width and height.
    static bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }
    // Copies top-down rows of 3-byte pixels (width x height, rows packed)
    // into the upright picture; outRow(y) gives the destination row y from
    // the top, in the upright size.
    template <typename RowAt>
    static void Apply(
        int orientation, const std::vector<uint8_t>& source, uint32_t width, uint32_t height, RowAt outRow);

private:
    // The source pixel that shows at (x, y) of the upright picture.
    static void SourceOf(
        int orientation, uint32_t width, uint32_t height, uint32_t x, uint32_t y, uint32_t& sx, uint32_t& sy);
};

template <typename RowAt>
void ExifOrientation::Apply(
    int orientation, const std::vector<uint8_t>& source, uint32_t width, uint32_t height, RowAt outRow)
{
    const bool swap = SwapsSides(orientation);
    const uint32_t outWidth = swap ? height : width;
    const uint32_t outHeight = swap ? width : height;
    for (uint32_t y = 0; y < outHeight; ++y) {
        uint8_t* row = outRow(y);
        for (uint32_t x = 0; x < outWidth; ++x) {
            uint32_t sx = 0;
            uint32_t sy = 0;
            SourceOf(orientation, width, height, x, y, sx, sy);
            const uint8_t* pixel = source.data() + (size_t(sy) * width + sx) * 3;
            row[3 * x] = pixel[0];
            row[3 * x + 1] = pixel[1];
            row[3 * x + 2] = pixel[2];
        }
    }
}

} // namespace lumaquill
