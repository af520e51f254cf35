#pragma once

#include <cstdint>
#include <vector>

namespace lumaquill {
struct JpegCoefficients;
}

namespace lumaquill::stealth {

// UERD costs (uniform embedding revisited distortion) of changing each
// coefficient of a JPEG by 1, in element order. Within a component with
// quantisation table q (the DC step taken as (q[0,1] + q[1,0]) / 2, since a
// DC change moves the whole block): the energy of block b is
// E(b) = sum over the AC coefficients of |c| q, and coefficient k of block b
// costs q[k] / (E(b) + (sum of E over the up to 8 neighbouring blocks) / 4).
// Changes thus go to busy blocks and to the frequencies the quantiser
// already treats coarsely; a block whose neighbourhood has no AC energy at
// all costs kWetCost. No stored byte depends on the exact value.
class UerdCost {
public:
    static constexpr float kWetCost = 1e10f;

    // False when the memory cannot be had.
    static bool Compute(const JpegCoefficients& jpeg, std::vector<float>& costs);
};

} // namespace lumaquill::stealth
