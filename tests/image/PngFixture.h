#pragma once

// PNG files built in memory for the tests, independently of the codec
// under test: every colour type, bit depth, Adam7 interlacing, palette,
// tRNS and any extra chunk, plus helpers that damage a file.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <zlib.h>

namespace lumaquill::test {

struct PngLayout {
    uint32_t Width = 47;
    uint32_t Height = 33;
    uint8_t BitDepth = 8;
    // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA.
    uint8_t ColourType = 2;
    bool Interlaced = false;
    // Sample c of pixel (x, y) at the declared depth (a palette index for
    // colour type 3).
    std::function<uint32_t(uint32_t x, uint32_t y, uint32_t c)> Sample;
    // R G B triples.
    std::vector<uint8_t> Palette;
    // The tRNS chunk's payload, if any.
    std::vector<uint8_t> Trns;
    // Chunks placed before IDAT: type followed by payload.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> Extra;
};

inline uint32_t PngChannels(uint8_t colourType)
{
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

inline void PutBe32(std::string& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>(v >> shift));
}

inline void PutChunk(std::string& out, const std::string& type, const std::string& data)
{
    PutBe32(out, static_cast<uint32_t>(data.size()));
    const std::string body = type + data;
    out += body;
    PutBe32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

// One scanline of the pixels (x0 + k * dx, y) for k = 0 .. count - 1,
// filter type 0, samples packed at the declared depth.
inline void PutScanline(std::string& raw, const PngLayout& png, uint32_t y, uint32_t x0, uint32_t dx, uint32_t count)
{
    raw.push_back(0);
    const uint32_t channels = PngChannels(png.ColourType);
    uint32_t bits = 0;
    uint32_t acc = 0;
    for (uint32_t k = 0; k < count; ++k) {
        for (uint32_t c = 0; c < channels; ++c) {
            const uint32_t v = png.Sample(x0 + k * dx, y, c);
            if (png.BitDepth == 16) {
                raw.push_back(static_cast<char>(v >> 8));
                raw.push_back(static_cast<char>(v));
                continue;
            }
            acc = acc << png.BitDepth | v;
            bits += png.BitDepth;
            if (bits == 8) {
                raw.push_back(static_cast<char>(acc));
                acc = bits = 0;
            }
        }
    }
    if (bits)
        raw.push_back(static_cast<char>(acc << (8 - bits)));
}

inline std::string BuildPng(const PngLayout& png)
{
    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    PutBe32(ihdr, png.Width);
    PutBe32(ihdr, png.Height);
    ihdr += std::string { char(png.BitDepth), char(png.ColourType), 0, 0, char(png.Interlaced ? 1 : 0) };
    PutChunk(out, "IHDR", ihdr);
    for (const auto& [type, data] : png.Extra)
        PutChunk(out, type, std::string(data.begin(), data.end()));
    if (!png.Palette.empty())
        PutChunk(out, "PLTE", std::string(png.Palette.begin(), png.Palette.end()));
    if (!png.Trns.empty())
        PutChunk(out, "tRNS", std::string(png.Trns.begin(), png.Trns.end()));
    std::string raw;
    if (!png.Interlaced) {
        for (uint32_t y = 0; y < png.Height; ++y)
            PutScanline(raw, png, y, 0, 1, png.Width);
    } else {
        // Adam7: x start, y start, x step, y step of each pass.
        constexpr std::array<std::array<uint32_t, 4>, 7> kPasses { { { 0, 0, 8, 8 }, { 4, 0, 8, 8 }, { 0, 4, 4, 8 },
            { 2, 0, 4, 4 }, { 0, 2, 2, 4 }, { 1, 0, 2, 2 }, { 0, 1, 1, 2 } } };
        for (const auto& [x0, y0, dx, dy] : kPasses) {
            const uint32_t count = png.Width > x0 ? (png.Width - x0 + dx - 1) / dx : 0;
            for (uint32_t y = y0; count && y < png.Height; y += dy)
                PutScanline(raw, png, y, x0, dx, count);
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
        uLong(raw.size()));
    packed.resize(packedSize);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", "");
    return out;
}

// The offset of the first chunk of the type (its length field).
inline size_t ChunkOffset(const std::string& png, const std::string& type)
{
    return png.find(type) - 4;
}

// Flips one bit of the chunk's CRC.
inline std::string WithBadCrc(std::string png, const std::string& type)
{
    const size_t at = ChunkOffset(png, type);
    const uint32_t length = uint32_t(uint8_t(png[at])) << 24 | uint32_t(uint8_t(png[at + 1])) << 16
        | uint32_t(uint8_t(png[at + 2])) << 8 | uint8_t(png[at + 3]);
    png[at + 8 + length] ^= 1;
    return png;
}

} // namespace lumaquill::test
