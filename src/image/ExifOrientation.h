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
    // An EXIF block ("Exif\0\0" and a big-endian TIFF structure) holding
    // only the orientation tag; empty for orientation 1, which needs none.
    static std::vector<uint8_t> MinimalExif(int orientation);
    // Orientations 5 to 8 swap width and height.
    static bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }
    // Places count consecutive source rows of 3-byte pixels (source width x
    // height, the first row firstRow from the top) where their pixels show
    // in the upright picture, whose rows run top-down from upright at the
    // given stride. Column by column, so that a turned picture gets runs of
    // count pixels per row rather than one.
    static void PlaceRows(int orientation, const uint8_t* const* rows, uint32_t firstRow, uint32_t count,
        uint32_t width, uint32_t height, uint8_t* upright, size_t stride);

private:
    // Where the source pixel (sx, sy) shows in the upright picture.
    static void UprightOf(
        int orientation, uint32_t width, uint32_t height, uint32_t sx, uint32_t sy, uint32_t& x, uint32_t& y);
};

} // namespace lumaquill
