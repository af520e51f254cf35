#pragma once

#include "keys/IsaacCore.h"
#include "keys/MersenneGen.h"
#include "keys/Tt800Core.h"

#include <cstdint>

namespace lumaquill {

// The keyed composite generator behind the pixel walk and the whitening:
// one value of each of MersenneGen, IsaacCore and Tt800Core per draw,
// always in that order, summed in doubles and folded once.
class IsaacGen {
public:
    static constexpr int kKeyBytes = 36;

    virtual ~IsaacGen() = default;

    // Rekeys all three cores from SHA-1 of the 36 key bytes, and leaves the
    // runtime generator 1124 draws after the seed taken from that digest.
    void Reseed(const uint8_t key[kKeyBytes]);
    // In [0, 2): the sum of three units folded by at most one subtraction.
    double NextUnit();
    // lo + a draw in 0 .. hi - lo; -1 without drawing when hi - lo + 1 <= 0.
    int32_t Range(int32_t lo, int32_t hi);

    // NextUnit values are drawn this many at a time. The cores are private
    // and give one value each per NextUnit, so drawing a block in advance
    // yields the same sequence; a reseed discards what is left of it.
    static constexpr int kBlock = 128;

private:
    void Refill();

    MersenneGen Mersenne;
    IsaacCore Isaac;
    Tt800Core Tt800;
    double Units[kBlock] = {};
    // 0 .. kBlock; kBlock means the next draw refills first.
    int Next = kBlock;
};

// The draws are inline: the pixel walk makes hundreds of millions of them.

inline double IsaacGen::NextUnit()
{
    if (Next >= kBlock) {
        Refill();
    }
    return Units[Next++];
}

inline int32_t IsaacGen::Range(int32_t lo, int32_t hi)
{
    const int32_t n = static_cast<int32_t>(static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo) + 1u);
    if (n <= 0) {
        return -1;
    }
    // NextUnit() * n lies in [0, 2n) and never rounds up to 2n, so the
    // truncation fits 64 bits and one subtraction brings it into [0, n).
    int64_t t = static_cast<int64_t>(NextUnit() * static_cast<double>(n));
    if (t >= n) {
        t -= n;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(lo) + static_cast<uint32_t>(t));
}

} // namespace lumaquill
