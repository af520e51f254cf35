#pragma once

#include <cstdint>
#include <sodium.h>

namespace lumaquill::stealth {

// Which way each change goes: +1 at 0, -1 at 255, otherwise up or down by
// a bit from the system's random source (randombytes_random), so the
// changes leave no trace of their direction.
class ChangeDirections {
public:
    uint8_t Changed(uint8_t sample)
    {
        const bool up = sample == 0 || (sample != 255 && NextBit() == 1);
        return static_cast<uint8_t>(up ? sample + 1 : sample - 1);
    }

    // The next bit of the random source: a direction where no bound decides.
    uint32_t NextBit()
    {
        if (Left == 0) {
            Word = randombytes_random();
            Left = 32;
        }
        --Left;
        const uint32_t bit = Word & 1u;
        Word >>= 1;
        return bit;
    }

private:
    uint32_t Word = 0;
    int Left = 0;
};

} // namespace lumaquill::stealth
