#include "keys/MersenneGen.h"

namespace lumaquill {

namespace {

constexpr uint32_t kSeedMultiplier = 29943829;
// Each regenerated word mixes the word kOffset places ahead (mod 351).
constexpr int32_t kOffset = 175;
constexpr uint32_t kUpperMask = 0xFFF80000u; // top 13 bits of the current word
constexpr uint32_t kLowerMask = 0x0007FFFFu; // low 19 bits of the next word
constexpr uint32_t kOddConstant = 0xEABD75F5u;

inline uint32_t Twist(uint32_t current, uint32_t next, uint32_t far)
{
    const uint32_t y = (current & kUpperMask) | (next & kLowerMask);
    return far ^ (y >> 1) ^ ((y & 1u) ? kOddConstant : 0u);
}

} // namespace

MersenneGen::MersenneGen()
{
    Seed(kDefaultSeed);
}

void MersenneGen::Seed(uint32_t seed)
{
    // The first word is already one step past the seed.
    for (uint32_t& word : State) {
        seed = seed * kSeedMultiplier - 1u;
        word = seed;
    }
    Index = kStateWords;
}

void MersenneGen::Regenerate()
{
    // One in-place pass over i = 0 .. 350 with indices taken mod 351, split
    // where (i + 175) and (i + 1) wrap so the loops need no modulo. For
    // i >= 176 the far word, and for i = 350 the next word (State[0]), have
    // already been rewritten by this pass; that is the defined behaviour.
    constexpr int32_t kFirstWrap = kStateWords - kOffset; // 176
    int32_t i = 0;
    for (; i < kFirstWrap; ++i) {
        State[i] = Twist(State[i], State[i + 1], State[i + kOffset]);
    }
    for (; i < kStateWords - 1; ++i) {
        State[i] = Twist(State[i], State[i + 1], State[i - kFirstWrap]);
    }
    State[i] = Twist(State[i], State[0], State[i - kFirstWrap]);
    Index = 0;
}

} // namespace lumaquill
