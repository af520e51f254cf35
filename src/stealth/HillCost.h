#pragma once

#include <cstdint>
#include <vector>

namespace lumaquill {
class DibImage;
}

namespace lumaquill::stealth {

// HILL costs of changing each element by 1, per colour channel: the
// high-pass residual R = KB * X (KB = [-1 2 -1; 2 -4 2; -1 2 -1], the outer
// product of [-1 2 -1] with itself), then 1 / (L1 * |R|) with L1 the 3 x 3
// average, then L2 * that with L2 the 15 x 15 average; borders mirrored
// (symmetric: index -1 reads 0). Smooth areas cost up to 10^4, texture and
// noise little. Computed in float; no stored byte depends on the exact value.
class HillCost {
public:
    // One cost per element in element order, as the upper 16 bits of the
    // float (bfloat16): 2 bytes per element. False when the memory cannot be
    // had. REQUIRES: image valid with 24 or 32 bits per pixel.
    static bool Compute(const DibImage& image, std::vector<uint16_t>& costs);

    static float Expand(uint16_t cost);
};

} // namespace lumaquill::stealth
