#pragma once

#include <array>
#include <cstdint>

namespace lumaquill {

// How a byte is spread over pixels. The value is stored in bits 0-2 of the
// ModeByte.
enum EmbedMode : int32_t {
    EmbedBit0OneChannel = 0,
    EmbedBit0ThreeChannels = 1,
    EmbedBits01 = 2,
    EmbedBits012 = 3,
    EmbedWholeBytes = 4,
    // ChooseMode's answer when no mode fits.
    EmbedNone = 6,
};

// What each EmbedMode stores in a pixel; capacity and embedding both read
// this table.
struct EmbedModeLayout {
    // Pixels one byte takes (modes 0-3); 0 for whole bytes.
    int32_t PixelsPerByte;
    // Bytes one pixel takes (mode 4); 0 for the bit modes.
    uint32_t BytesPerPixel;
    // Low bits of red, green and blue that carry the byte, filled in that
    // order from its bit 0 up. A one-channel mode puts its single bit into a
    // channel drawn from the runtime generator instead.
    std::array<int, 3> CarrierBits;
    bool OneChannel;
};

constexpr int kEmbedModeCount = 5;
constexpr std::array<EmbedModeLayout, kEmbedModeCount> kEmbedModeLayouts = { {
    { 8, 0, { 1, 0, 0 }, true }, // 0: bit 0 of one chosen channel
    { 3, 0, { 1, 1, 1 }, false }, // 1: bit 0 of red, green, blue
    { 2, 0, { 2, 2, 2 }, false }, // 2: bits 0-1 of red, green, blue
    { 1, 0, { 3, 3, 2 }, false }, // 3: bits 0-2 of red and green, 0-1 of blue
    { 0, 3, { 8, 8, 8 }, false }, // 4: whole channel bytes
} };

constexpr bool IsBitMode(int32_t mode)
{
    return mode >= EmbedBit0OneChannel && mode <= EmbedBits012;
}

// A bit mode's pixels per byte are the pixels its carrier bits need for 8
// bits.
constexpr bool PixelsCoverAByte(const EmbedModeLayout& layout)
{
    const int perPixel = layout.OneChannel ? 1 : layout.CarrierBits[0] + layout.CarrierBits[1] + layout.CarrierBits[2];
    return (8 + perPixel - 1) / perPixel == layout.PixelsPerByte;
}
static_assert(PixelsCoverAByte(kEmbedModeLayouts[0]) && PixelsCoverAByte(kEmbedModeLayouts[1])
    && PixelsCoverAByte(kEmbedModeLayouts[2]) && PixelsCoverAByte(kEmbedModeLayouts[3]));

} // namespace lumaquill
