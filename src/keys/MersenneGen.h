#pragma once

#include <cstdint>

namespace lumaquill {

// A 351-word twisted generator. Its word count, offset, masks and tempering
// constants differ from the published 624-word Mersenne Twister on purpose:
// stored images depend on these values.
class MersenneGen {
public:
    static constexpr int32_t kStateWords = 351;
    // Every owner seeds a fresh generator with this value.
    static constexpr uint32_t kDefaultSeed = 100;

    // Seeded with kDefaultSeed.
    MersenneGen();
    virtual ~MersenneGen() = default;

    void Seed(uint32_t seed);
    uint32_t Next32();
    // y / 2^32 for the next word y: a double in [0, 1).
    double NextUnit();
    // Always draws one word; returns INT32_MIN when hi < lo.
    int32_t Range(int32_t lo, int32_t hi);
    // Writes the next count NextUnit() values to out, as count calls would.
    void FillUnits(double* out, int count);

private:
    static uint32_t Temper(uint32_t y);
    // Rewrites all 351 words in place, in increasing order, each step seeing
    // the words as earlier steps left them; then Index = 0.
    void Regenerate();

    uint32_t State[kStateWords];
    // 0 .. kStateWords; kStateWords means the next draw regenerates first.
    int32_t Index;
};

// The draws are inline: the pixel walk makes hundreds of millions of them.

inline uint32_t MersenneGen::Temper(uint32_t y)
{
    y ^= y >> 11;
    y ^= (y << 7) & 0x655E5280u;
    y ^= (y << 15) & 0xFFD58000u;
    y ^= y >> 17;
    return y;
}

inline uint32_t MersenneGen::Next32()
{
    if (Index >= kStateWords) {
        Regenerate();
    }
    return Temper(State[Index++]);
}

inline double MersenneGen::NextUnit()
{
    // Exact: every 32-bit word fits the 53-bit significand, and scaling by a
    // power of two does not round.
    return static_cast<double>(Next32()) * 0x1p-32;
}

inline int32_t MersenneGen::Range(int32_t lo, int32_t hi)
{
    const double u = NextUnit();
    // The width wraps as a signed 32-bit value, so a span of 2^31 or more
    // gives a negative or zero width; |u * n| < 2^31 keeps the conversion
    // defined, and the sum wraps like the 32-bit addition it stands for.
    const int32_t n = static_cast<int32_t>(static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo) + 1u);
    const int32_t scaled = static_cast<int32_t>(u * static_cast<double>(n));
    int32_t t = static_cast<int32_t>(static_cast<uint32_t>(scaled) + static_cast<uint32_t>(lo));
    if (t > hi) {
        t = hi;
    }
    if (hi < lo) {
        return INT32_MIN;
    }
    return t;
}

} // namespace lumaquill
