#pragma once

#include <cstdint>

namespace lumaquill::bmp {

// File header: "BM", file size (u32), two reserved u16, pixel offset (u32);
// 14 bytes, little-endian.
constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint16_t kSignature = 0x4D42; // "BM" read as a little-endian u16
constexpr uint32_t kFileSizeOffset = 2;
constexpr uint32_t kReservedOffset = 6;
constexpr uint32_t kPixelOffsetOffset = 10;
// The information header the whole system works with: size (u32), width
// (i32), height (i32), planes (u16), bits per pixel (u16), compression (u32),
// image size (u32), x and y resolution (i32), colours used (u32), colours
// important (u32).
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kInfoSizeOffset = 0;
constexpr uint32_t kWidthOffset = 4;
constexpr uint32_t kHeightOffset = 8;
constexpr uint32_t kPlanesOffset = 12;
constexpr uint32_t kBitCountOffset = 14;
constexpr uint32_t kCompressionOffset = 16;
constexpr uint32_t kImageSizeOffset = 20;
constexpr uint32_t kColorsUsedOffset = 32;
// Compression values.
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
// A colour-table entry: blue, green, red, reserved.
constexpr uint32_t kColorEntryBytes = 4;
// Pixel offset of every 24-bit file this system writes.
constexpr uint32_t kPlainPixelOffset = kFileHeaderBytes + kInfoHeaderBytes;

// The later, longer information headers begin with the 40-byte form; their
// red, green, blue and alpha masks (u32 each) follow it at offset 40. A
// 40-byte header with bit-field compression is followed in the file by the
// red, green and blue masks, 12 bytes.
constexpr uint32_t kV4InfoHeaderBytes = 108;
constexpr uint32_t kV5InfoHeaderBytes = 124;
constexpr uint32_t kMasksOffset = 40;
constexpr uint32_t kAlphaMaskOffset = 52;
constexpr uint32_t kTrailingMaskBytes = 12;
// The only bit-field layout read: the byte order of a plain 32-bit pixel.
constexpr uint32_t kRedMask = 0x00FF0000;
constexpr uint32_t kGreenMask = 0x0000FF00;
constexpr uint32_t kBlueMask = 0x000000FF;
constexpr uint32_t kAlphaMask = 0xFF000000;

// Default colour-table entries of the colour-table formats.
constexpr uint32_t kColorsOf1Bit = 2;
constexpr uint32_t kColorsOf4Bit = 16;
constexpr uint32_t kColorsOf8Bit = 256;

// Bytes per stored row: rows are padded to a multiple of 4 bytes.
// REQUIRES: bitsPerPixel * width + 31 fits in 32 bits.
constexpr uint32_t Stride(uint32_t bitsPerPixel, uint32_t width)
{
    return ((bitsPerPixel * width + 31) / 32) * 4;
}

// Stride in 64-bit arithmetic, for checking untrusted or computed sizes
// before anything depends on them.
constexpr uint64_t Stride64(uint64_t bitsPerPixel, uint64_t width)
{
    return ((bitsPerPixel * width + 31) / 32) * 4;
}

// Entries of the colour table behind an information header: the low 16 bits
// of colours-used when that field is not zero (65536 + 5 gives 5, 65536
// gives 0), else the full table of a 1-, 4- or 8-bit format, else none.
constexpr uint16_t ColorCount(uint16_t bitsPerPixel, uint32_t colorsUsed)
{
    if (colorsUsed != 0)
        return static_cast<uint16_t>(colorsUsed);
    switch (bitsPerPixel) {
    case 1:
        return kColorsOf1Bit;
    case 4:
        return kColorsOf4Bit;
    case 8:
        return kColorsOf8Bit;
    default:
        return 0;
    }
}

// The pixel depths a bitmap may have; any other is refused on reading.
constexpr bool IsKnownBitCount(uint32_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace lumaquill::bmp
