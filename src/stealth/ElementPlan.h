#pragma once

#include <cstdint>
#include <optional>

namespace lumaquill::stealth {

// How the N = 3 W H elements of a W x H picture are shared: the salt
// elements first, then the length elements, then the payload elements (in
// the order ElementOrder gives), and how many bits the payload may carry.
struct ElementPlan {
    uint64_t Elements = 0;
    uint32_t Spread = 0;
    uint32_t SaltElements = 0;
    uint32_t LengthElements = 0;
    uint64_t PayloadElements = 0;
    // Envelope bits at the safe and the largest size.
    uint64_t SafeBits = 0;
    uint64_t LargestBits = 0;

    // Nothing when the picture is too small (spread below kMinSpread) or too
    // large (beyond kMaxElements) for the format.
    static std::optional<ElementPlan> For(int32_t width, int32_t height);
    // The same over any N elements, the rates counted per rateBase (pixels
    // of a picture, non-zero AC coefficients of a JPEG): SafeBits
    // floor(rateBase / 20) and LargestBits floor(2 rateBase / 5), both at
    // most the payload elements.
    static std::optional<ElementPlan> ForElements(uint64_t elements, uint64_t rateBase);
};

} // namespace lumaquill::stealth
