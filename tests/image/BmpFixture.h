#pragma once

// Bitmap files built in memory for the image tests: every field of the
// file and information headers can be set, so that one builder makes the
// plain files as well as each malformed or unusual variant.

#include "core/ByteOrder.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace lumaquill::bmptest {

struct BmpLayout {
    uint8_t Signature[2] = { 'B', 'M' };
    uint32_t InfoSize = 40;
    int32_t Width = 5;
    int32_t Height = 4;
    uint16_t Planes = 1;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t ImageSize = 0;
    uint32_t ColorsUsed = 0;
    // Bit-field masks: behind a 40-byte header in the file, inside a longer
    // header at offset 40.
    std::vector<uint32_t> Masks;
    std::vector<uint8_t> Table;
    // Zero bytes between the colour table and the rows.
    uint32_t Gap = 0;
    // Pixel offset field; by default it points at the rows.
    std::optional<uint32_t> PixelOffset;
    // The rows as they stand in the file.
    std::vector<uint8_t> Rows;
};

inline std::string Bytes(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline std::string BuildBmp(const BmpLayout& layout)
{
    const bool masksInHeader = layout.InfoSize > 40;
    std::vector<uint8_t> out(14 + std::max<uint32_t>(layout.InfoSize, 40), 0);
    uint8_t* info = out.data() + 14;
    Store32Le(info, layout.InfoSize);
    Store32Le(info + 4, uint32_t(layout.Width));
    Store32Le(info + 8, uint32_t(layout.Height));
    Store16Le(info + 12, layout.Planes);
    Store16Le(info + 14, layout.BitCount);
    Store32Le(info + 16, layout.Compression);
    Store32Le(info + 20, layout.ImageSize);
    Store32Le(info + 32, layout.ColorsUsed);
    for (size_t i = 0; i < layout.Masks.size(); ++i) {
        uint8_t mask[4];
        Store32Le(mask, layout.Masks[i]);
        if (masksInHeader)
            std::copy(mask, mask + 4, info + 40 + 4 * i);
        else
            out.insert(out.end(), mask, mask + 4);
    }
    out.insert(out.end(), layout.Table.begin(), layout.Table.end());
    out.insert(out.end(), layout.Gap, 0);
    const auto rowsAt = uint32_t(out.size());
    out.insert(out.end(), layout.Rows.begin(), layout.Rows.end());
    out[0] = layout.Signature[0];
    out[1] = layout.Signature[1];
    Store32Le(out.data() + 2, uint32_t(out.size()));
    Store32Le(out.data() + 10, layout.PixelOffset.value_or(rowsAt));
    return Bytes(out);
}

inline uint32_t StrideOf(uint32_t bits, uint32_t width)
{
    return ((bits * width + 31) / 32) * 4;
}

// An arbitrary colour for pixel (x, y) of the test pictures, fourth byte
// included.
inline uint32_t PatternColour(int32_t x, int32_t y)
{
    const auto ux = uint32_t(x);
    const auto uy = uint32_t(y);
    return ((ux * 37 + uy * 11) & 0xFF) | ((ux * 5 + uy * 71) & 0xFF) << 8 | ((ux ^ (uy * 3)) & 0xFF) << 16
        | ((ux + uy + 0x40) & 0xFF) << 24;
}

// Padding bytes carry this value so that tests see they are kept.
constexpr uint8_t kPaddingByte = 0xA5;

// Rows of a 24- or 32-bit picture of PatternColour, bottom row first or,
// for topDown, top row first.
inline std::vector<uint8_t> PatternRows(int32_t width, int32_t height, uint16_t bits, bool topDown = false)
{
    const uint32_t stride = StrideOf(bits, uint32_t(width));
    const uint32_t bytesPerPixel = bits / 8u;
    std::vector<uint8_t> rows(size_t(stride) * uint32_t(height), kPaddingByte);
    for (int32_t y = 1; y <= height; ++y) {
        const uint32_t stored = topDown ? uint32_t(y - 1) : uint32_t(height - y);
        for (int32_t x = 0; x < width; ++x) {
            uint8_t colour[4];
            Store32Le(colour, PatternColour(x, y));
            std::copy(colour, colour + bytesPerPixel, rows.begin() + stored * stride + uint32_t(x) * bytesPerPixel);
        }
    }
    return rows;
}

// A plain bottom-up picture of PatternColour.
inline BmpLayout PatternLayout(int32_t width, int32_t height, uint16_t bits)
{
    BmpLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.BitCount = bits;
    layout.Rows = PatternRows(width, height, bits);
    return layout;
}

// count colour-table entries; entry i is blue i, green 2i, red 3i,
// reserved 0x80 + i (all modulo 256).
inline std::vector<uint8_t> TableOf(uint32_t count)
{
    std::vector<uint8_t> table;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t entry[4] = { uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), uint8_t(0x80 + i) };
        table.insert(table.end(), entry, entry + 4);
    }
    return table;
}

inline uint32_t TableEntryColour(uint32_t i)
{
    return uint32_t(uint8_t(i)) | uint32_t(uint8_t(2 * i)) << 8 | uint32_t(uint8_t(3 * i)) << 16
        | uint32_t(uint8_t(0x80 + i)) << 24;
}

inline std::istringstream StreamOf(const std::string& bytes)
{
    return std::istringstream(bytes, std::ios::in | std::ios::binary);
}

// A folder of its own under the system's temporary folder, removed again
// when the test ends.
class TempFolder {
public:
    TempFolder()
        : Path(std::filesystem::temp_directory_path() / ("lumaquill-image-" + std::to_string(std::random_device {}())))
    {
        std::filesystem::create_directories(Path);
    }
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(Path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return (Path / name).string(); }

    std::filesystem::path Path;
};

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace lumaquill::bmptest
