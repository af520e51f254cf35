#pragma once

#include <bit>
#include <cstdint>

namespace lumaquill {

// The published ISAAC generator (32-bit words, 256-word tables), unchanged.
// Draws come from result[255] downward; a new generation runs when the
// counter reaches zero.
class IsaacCore {
public:
    static constexpr int kWords = 256;
    // The double nearest 1 / (2^32 - 1), i.e. 2^-32 * (1 + 2^-32); the
    // largest word maps to exactly 1.0.
    static constexpr double kUnitScale = 0x1.00000001p-32;

    virtual ~IsaacCore() = default;

    // The seeded initialisation over the 256 result words given: two mixing
    // passes (result table, then memory table), one generation, counter 256.
    void Init(const uint32_t seed[kWords]);
    uint32_t Next32();
    // y * scale, where scale is the double nearest 1 / (2^32 - 1); in [0, 1].
    double NextUnit();
    // Writes the next count NextUnit() values to out, as count calls would.
    void FillUnits(double* out, int count);

private:
    void Generate();
    // One result word: `a` takes the shifted value plus the word half a table
    // away, then memory[i] and result[i] are derived from it.
    void Step(uint32_t mixed, int i, int other, uint32_t& a, uint32_t& b);

    uint32_t Count = 0;
    uint32_t Result[kWords] = {};
    uint32_t Memory[kWords] = {};
    uint32_t A = 0, B = 0, C = 0;
};

static_assert(std::bit_cast<uint64_t>(IsaacCore::kUnitScale) == 0x3DF0000000100000u);

// The draws are inline: the pixel walk makes hundreds of millions of them.

inline uint32_t IsaacCore::Next32()
{
    if (Count == 0) {
        Generate();
        Count = kWords - 1;
        return Result[Count];
    }
    return Result[--Count];
}

inline double IsaacCore::NextUnit()
{
    return static_cast<double>(Next32()) * kUnitScale;
}

} // namespace lumaquill
