#pragma once

#include "keys/IsaacCore.h"

#include <cstdint>

namespace lumaquill {

// A 25-word TT800-style generator. Unlike the published TT800 its twist
// XORs no constant for odd words, and its tempering has no 0x8EBFD028 step;
// stored images depend on this variant.
class Tt800Core {
public:
    static constexpr int kWords = 25;

    virtual ~Tt800Core() = default;

    // Sets x[0..24] and k = 0: the first draw uses x[0] untwisted.
    void Init(const uint32_t words[kWords]);
    // The tempered word times the double nearest 1 / (2^32 - 1); in [0, 1].
    double NextUnit();
    // Writes the next count NextUnit() values to out, as count calls would.
    void FillUnits(double* out, int count);

private:
    static uint32_t Temper(uint32_t y);
    // Rewrites x[0..24] in place, then k = 0.
    void Twist();

    uint32_t X[kWords] = {};
    // 0 .. kWords; kWords means the next draw twists first.
    int32_t K = 0;
};

inline uint32_t Tt800Core::Temper(uint32_t y)
{
    y ^= (y << 7) & 0x2B5B2500u;
    y ^= (y << 15) & 0xDB8B0000u;
    y ^= y >> 16;
    return y;
}

// The draw is inline: the pixel walk makes hundreds of millions of them.
inline double Tt800Core::NextUnit()
{
    if (K >= kWords) {
        Twist();
    }
    return static_cast<double>(Temper(X[K++])) * IsaacCore::kUnitScale;
}

} // namespace lumaquill
