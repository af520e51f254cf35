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
// costs q[k] / (E(b) + (sum of E over the up to 8 neighbouring blocks) / 4),
// times the zero factor when it is an AC coefficient of value 0. Changes
// thus go to busy blocks and to the frequencies the quantiser already
// treats coarsely; a block whose neighbourhood has no AC energy at all
// costs kWetCost. No stored byte depends on the exact value.
//
// A 0 changed to +-1 is one more coefficient the file codes (a run-length
// symbol and a bit, and a run of zeros split in two), while a non-zero value
// changed by 1 moves its size category by at most one bit: up to the
// payloads whose detectability matters (kZeroFactorFrom bits per non-zero
// AC coefficient) the factor is 1, as UERD has it; beyond, it rises to
// kLargestZeroFactor at the largest size (0.4), where the changes would
// otherwise make the file up to 3% larger.
class UerdCost {
public:
    static constexpr float kWetCost = 1e10f;
    static constexpr double kZeroFactorFrom = 0.2;
    static constexpr double kLargestZeroFactor = 2.0;

    // The zero factor of an embedding of messageBits in a cover of
    // nonZeroAc non-zero AC coefficients.
    static float ZeroFactor(uint64_t messageBits, uint64_t nonZeroAc);
    // False when the memory cannot be had.
    static bool Compute(const JpegCoefficients& jpeg, float zeroFactor, std::vector<float>& costs);
};

} // namespace lumaquill::stealth
