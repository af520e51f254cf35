#pragma once

#include <cstdint>

namespace lumaquill {

// Raised by pixel access outside its contract only; nothing in the system
// triggers it, so nothing catches it.
class CDibException {
public:
    // A pixel write into an image with a colour table (1, 4 or 8 bits).
    static constexpr uint32_t kWriteToIndexed = 1;
    // x outside 0 .. width - 1 or y outside 1 .. height.
    static constexpr uint32_t kOutOfRange = 2;

    explicit CDibException(uint32_t code)
        : Code(code)
    {
    }

    uint32_t Code;
};

} // namespace lumaquill
