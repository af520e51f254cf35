#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill {

// The quantised DCT coefficients of a JPEG file and what its rewrite keeps:
// the coefficients are the picture, never decompressed or rotated.
struct JpegCoefficients {
    // Coefficients in a block: 64, in natural (row-major) order, index
    // 8 v + u for vertical frequency v and horizontal frequency u; index 0
    // is the DC coefficient.
    static constexpr uint32_t kBlockCoefficients = 64;

    struct Component {
        // The blocks the file codes for this component (the padding blocks
        // of an interleaved scan's last MCUs are not among them).
        uint32_t WidthInBlocks = 0;
        uint32_t HeightInBlocks = 0;
        uint8_t HorizontalSampling = 1;
        uint8_t VerticalSampling = 1;
        // The component's quantisation table, natural order.
        std::array<uint16_t, kBlockCoefficients> Quantisation {};
        // Where its first coefficient lies in Values.
        uint64_t First = 0;

        uint64_t Blocks() const { return uint64_t(WidthInBlocks) * HeightInBlocks; }
    };

    // The frame's size in pixels, as stored (before any EXIF orientation).
    uint32_t Width = 0;
    uint32_t Height = 0;
    bool Progressive = false;
    // MCUs between restart markers; 0 for none.
    uint32_t RestartInterval = 0;
    // The EXIF orientation (1 to 8), kept alone when the file is rewritten.
    int Orientation = 1;
    // The ICC profile, kept when the file is rewritten.
    std::vector<uint8_t> Icc;
    std::vector<Component> Components;
    // Every coefficient: component by component in frame order, the
    // component's blocks row by row from the top, left to right, each block
    // in natural order.
    std::vector<int16_t> Values;

    // The non-zero coefficients other than the DC coefficients.
    uint64_t NonZeroAc() const;
    // "4:4:4", "4:2:2", "4:2:0", "4:4:0", "4:1:1", "greyscale", or the
    // sampling factors ("2x1, 1x1, 1x1") when none of those.
    std::string Subsampling() const;
};

} // namespace lumaquill
