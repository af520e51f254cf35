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

private:
    MersenneGen Mersenne;
    IsaacCore Isaac;
    Tt800Core Tt800;
};

} // namespace lumaquill
