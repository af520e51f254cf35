#pragma once

#include <cstdint>

namespace lumaquill {

// How a byte is spread over pixels. The value is stored in bits 0-2 of the
// ModeByte.
enum EmbedMode : int32_t {
    EmbedBit0OneChannel = 0,  // bit 0 of one channel chosen per pixel: 8 pixels a byte
    EmbedBit0ThreeChannels = 1, // bit 0 of red, green, blue: 3 pixels a byte
    EmbedBits01 = 2,          // bits 0-1 of red, green, blue: 2 pixels a byte
    EmbedBits012 = 3,         // bits 0-2 of red and green, 0-1 of blue: 1 pixel a byte
    EmbedWholeBytes = 4,      // whole channel bytes: 3 bytes a pixel
    // ChooseMode's answer when no mode fits.
    EmbedNone = 6,
};

} // namespace lumaquill
