#pragma once

#include <cstdint>
#include <vector>

namespace lumaquill {

class DibImage;

// Builds a decoded picture in the loaded form: the 40-byte information
// header a 24- or 32-bit BMP file of the same picture has, and bottom-up
// rows that the codec fills from the top.
//
// Rows are held top-down while they arrive and turned bottom-up by Finish.
// Start only reserves address space; a row's memory is zeroed and used
// when the codec first asks for that row or one below it, so a damaged
// file that declares a huge picture costs only the rows it really holds.
class DibBuilder {
public:
    // False when the picture is empty, beyond the limits of PictureLimits,
    // or the memory cannot be had.
    bool Start(uint32_t width, uint32_t height, uint16_t bitsPerPixel);
    // The row that shows at the given distance from the top; it and every
    // row above it are then in place.
    uint8_t* TopRow(uint32_t fromTop);
    // The rows as one top-down block for decoders that write whole
    // pictures.
    uint8_t* Data();
    uint32_t Stride() const { return RowStride; }
    // For decoders that give R G B [A]: makes every pixel B G R [A].
    void SwapRedAndBlue();
    // Turns the rows bottom-up and hands header and rows to the image.
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
