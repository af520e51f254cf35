#pragma once

#include <cstdint>
#include <vector>

namespace lumaquill {

class DibImage;

// Every size in the engine is 32-bit signed arithmetic, so decoded rows stay
// within 1 GiB. A few bytes of a picture file can declare a picture of any
// size: a fuzzing build refuses beyond 64 MiB of rows, so that the fuzzers
// spend their time in the decoders' logic rather than filling and copying
// huge pictures under the sanitizers; the normal build tests the real limit.
#ifndef LUMAQUILL_FUZZING
inline constexpr uint64_t kMaxDecodedRowBytes = uint64_t(1) << 30;
#else
inline constexpr uint64_t kMaxDecodedRowBytes = uint64_t(1) << 26;
#endif

// Builds a decoded picture in the loaded form: the 40-byte information
// header a 24- or 32-bit BMP file of the same picture has, and zeroed
// bottom-up rows that the codec fills from the top.
class DibBuilder {
public:
    // Pictures whose rows would pass this size are refused.
    static constexpr uint64_t kMaxRowBytes = kMaxDecodedRowBytes;

    // False when the picture is empty or too large.
    bool Start(uint32_t width, uint32_t height, uint16_t bitsPerPixel);
    // The row that shows at the given distance from the top.
    uint8_t* TopRow(uint32_t fromTop);
    // The rows as one block for decoders that write whole pictures; such a
    // codec fills them top-down and then calls FlipToBottomUp.
    uint8_t* Data() { return Rows.data(); }
    uint32_t Stride() const { return RowStride; }
    void FlipToBottomUp();
    // For decoders that give R G B [A]: makes every pixel B G R [A].
    void SwapRedAndBlue();
    // Hands header and rows to the image.
    void Finish(DibImage& image);

    // Fills a row from 8-bit samples: RGB gives B G R, RGBA gives B G R A
    // into a 32-bit row and B G R into a 24-bit one.
    static void StoreRgb(uint8_t* row, const uint8_t* rgb, uint32_t width, uint16_t bitsPerPixel);
    static void StoreRgba(uint8_t* row, const uint8_t* rgba, uint32_t width, uint16_t bitsPerPixel);

    uint32_t Width() const { return PictureWidth; }
    uint32_t Height() const { return PictureHeight; }
    uint16_t BitCount() const { return Bits; }

private:
    std::vector<uint8_t> Header;
    std::vector<uint8_t> Rows;
    uint32_t PictureWidth = 0;
    uint32_t PictureHeight = 0;
    uint16_t Bits = 0;
    uint32_t RowStride = 0;
};

} // namespace lumaquill
