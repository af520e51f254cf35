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

    MersenneGen();
    virtual ~MersenneGen() = default;

    void Seed(uint32_t seed);
    uint32_t Next32();
    // y / 2^32 for the next word y: a double in [0, 1).
    double NextUnit();
    // Always draws one word; returns INT32_MIN when hi < lo.
    int32_t Range(int32_t lo, int32_t hi);

private:
    void Regenerate();

    uint32_t State[kStateWords];
    int32_t Index;
};

} // namespace lumaquill
