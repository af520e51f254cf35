#pragma once

#include <cstddef>
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
//
// Invariant: the header block and the rows are present together or not at
// all, and the rows hold at least stride x height bytes. A loaded header is
// always the 40-byte, uncompressed, bottom-up form with a positive width and
// height and 1, 4, 8, 16, 24 or 32 bits per pixel (see BmpReader).
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
    // A colour-table pixel reads as its table entry (blue, green, red,
    // reserved); an entry number beyond the table reads as 0. A 16-bit pixel
    // reads as 5-bit blue, green and red, unscaled, and SetPixel stores the
    // low 5 bits of each.
    uint32_t GetPixel(int32_t x, int32_t y) const;
    void SetPixel(int32_t x, int32_t y, uint32_t colour);

    // Reads a bitmap file from the stream's start; returns the file's length,
    // or 0 when the file is refused (the image is then empty).
    uint32_t Read(std::istream& file);
    // Takes a picture already in the loaded form (as BmpReader and
    // DibBuilder make it) and builds its display palette.
    // REQUIRES: header is a 40-byte information header with its colour
    // table, and rows hold at least stride x height bytes.
    void Adopt(std::vector<uint8_t> header, std::vector<uint8_t> rows);
    // Writes the bitmap file, storing the computed image size into the
    // header first; returns the bytes written, 0 without a header or when
    // the stream reports a failure. Bytes behind the last row are not
    // written.
    uint32_t Write(std::ostream& file);

    // Makes the display palette from the colour table: false when the image
    // is not valid, true with no palette when there is no table.
    bool BuildPalette();

    // Header block: the 40-byte information header, then the colour table.
    const std::vector<uint8_t>& InfoHeader() const { return Header; }
    // The stored rows; PixelBytes counts their bytes, which a loaded image
    // has exactly stride x height of.
    const std::vector<uint8_t>& Pixels() const { return Rows; }
    std::vector<uint8_t>& Pixels() { return Rows; }
    uint32_t PixelBytes() const { return static_cast<uint32_t>(Rows.size()); }
    const std::vector<PaletteEntry>& Palette() const { return DisplayPalette; }

private:
    // Byte offset of the stored row that holds pixel (x, y).
    size_t RowOffset(int32_t x, int32_t y) const;
    uint32_t TableColour(uint32_t entry) const;
    void CacheHeaderFields();

    std::vector<uint8_t> Header;
    std::vector<uint8_t> Rows;
    bool HasRows = false;
    std::vector<PaletteEntry> DisplayPalette;
    // Copies of header fields for the per-pixel path; the header stays the
    // source of truth for what is written.
    int32_t PixelWidth = 0;
    int32_t PixelHeight = 0;
    uint16_t Bits = 0;
    uint16_t TableEntries = 0;
    uint32_t RowStride = 0;
};

} // namespace lumaquill
