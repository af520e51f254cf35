#pragma once

#include <cstdint>

namespace lumaquill::bmp {

// File header: "BM", file size (u32), two reserved u16, pixel offset (u32);
// 14 bytes, little-endian.
constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint16_t kSignature = 0x4D42; // "BM" read as a little-endian u16
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

// Bytes per stored row: rows are padded to a multiple of 4 bytes.
constexpr uint32_t Stride(uint32_t bitsPerPixel, uint32_t width)
{
    return ((bitsPerPixel * width + 31) / 32) * 4;
}

} // namespace lumaquill::bmp
