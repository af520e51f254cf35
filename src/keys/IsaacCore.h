#pragma once

#include <cstdint>

namespace lumaquill {

// The published ISAAC generator (32-bit words, 256-word tables), unchanged.
// Draws come from result[255] downward; a new generation runs when the
// counter reaches zero.
class IsaacCore {
public:
    static constexpr int kWords = 256;

    virtual ~IsaacCore() = default;

    // The seeded initialisation over the 256 result words given.
    void Init(const uint32_t seed[kWords]);
    uint32_t Next32();
    // y * scale, where scale is the double nearest 1 / (2^32 - 1); in [0, 1].
    double NextUnit();

private:
    void Generate();

    uint32_t Count = 0;
    uint32_t Result[kWords] = {};
    uint32_t Memory[kWords] = {};
    uint32_t A = 0, B = 0, C = 0;
};

} // namespace lumaquill
