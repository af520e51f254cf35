#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

namespace lumaquill {

// One entry of the display palette that BuildPalette makes from the colour
// table; the Qt layer draws colour-table images through it.
struct PaletteEntry {
    uint8_t Red;
    uint8_t Green;
    uint8_t Blue;
    uint8_t Flags;
};

// A bitmap in memory in device-independent form: the 40-byte information
// header followed by its colour table, and the pixel rows exactly as they
// stand in a .bmp file, bottom row first.
//
// Coordinates: x from 0 (left) to width - 1, y from 1 (top) to height.
// Pixel (x, y) lies in stored row height - y. Colour value: blue in bits
// 0-7, green 8-15, red 16-23, the fourth byte of a 32-bit pixel in 24-31.
class DibImage {
public:
    DibImage() = default;
    virtual ~DibImage();

    DibImage(const DibImage&) = default;
    DibImage& operator=(const DibImage&) = default;

    void Clear();

    int32_t Width() const;
    int32_t Height() const;
    uint16_t BitCount() const;
    uint32_t Compression() const;
    // Pixel rows are present.
    bool IsValid() const;
    uint16_t ColorCount() const;
    uint32_t PaletteBytes() const;
    // Bytes per stored row.
    uint32_t Stride() const;

    // Throw CDibException outside their contract (see CDibException).
    uint32_t GetPixel(int32_t x, int32_t y) const;
    void SetPixel(int32_t x, int32_t y, uint32_t colour);

    // Reads a bitmap file from the stream's start; returns the file's length,
    // or 0 when the file is refused (the image is then empty).
    uint32_t Read(std::istream& file);
    // Writes the bitmap file; returns the bytes written, 0 without a header.
    uint32_t Write(std::ostream& file);

    bool BuildPalette();

    // Header block: the 40-byte information header, then the colour table.
    const std::vector<uint8_t>& InfoHeader() const { return Header; }
    // The stored rows; PixelBytes counts every byte the file held for them.
    const std::vector<uint8_t>& Pixels() const { return Rows; }
    std::vector<uint8_t>& Pixels() { return Rows; }
    uint32_t PixelBytes() const { return static_cast<uint32_t>(Rows.size()); }
    const std::vector<PaletteEntry>& Palette() const { return DisplayPalette; }

private:
    std::vector<uint8_t> Header;
    std::vector<uint8_t> Rows;
    bool HasRows = false;
    std::vector<PaletteEntry> DisplayPalette;
};

} // namespace lumaquill
