#include "keys/MersenneGen.h"

#include "keys/ExactWord.h"

#include <algorithm>

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
    return far ^ (y >> 1) ^ ((0u - (y & 1u)) & kOddConstant);
}

// Rewrites state[i .. i + 3] from words none of which those four writes
// change: the next words reach at most i + 4, and the far words lie at
// least 172 places away. Reading all before writing lets the compiler use
// four-lane integer operations.
inline void TwistFour(uint32_t* state, int i, int far)
{
    uint32_t fresh[4];
    for (int k = 0; k < 4; ++k) {
        fresh[k] = Twist(state[i + k], state[i + k + 1], state[far + k]);
    }
    for (int k = 0; k < 4; ++k) {
        state[i + k] = fresh[k];
    }
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
    constexpr int32_t kFirstWrap = kStateWords - kOffset; // 176, a multiple of 4
    static_assert(kFirstWrap % 4 == 0);
    int32_t i = 0;
    for (; i < kFirstWrap; i += 4) {
        TwistFour(State, i, i + kOffset);
    }
    for (; i + 4 < kStateWords; i += 4) {
        TwistFour(State, i, i - kFirstWrap);
    }
    for (; i < kStateWords - 1; ++i) {
        State[i] = Twist(State[i], State[i + 1], State[i - kFirstWrap]);
    }
    State[i] = Twist(State[i], State[0], State[i - kFirstWrap]);
    Index = 0;
}

void MersenneGen::FillUnits(double* out, int count)
{
    while (count > 0) {
        if (Index >= kStateWords) {
            Regenerate();
        }
        const int run = std::min(count, kStateWords - Index);
        const uint32_t* words = State + Index;
        int j = 0;
        // Groups of four let the compiler run tempering and conversion four
        // words at a time.
        for (; j + 4 <= run; j += 4) {
            for (int k = 0; k < 4; ++k) {
                out[j + k] = WordTimesTwoToMinus32(Temper(words[j + k]));
            }
        }
        for (; j < run; ++j) {
            out[j] = WordTimesTwoToMinus32(Temper(words[j]));
        }
        Index += run;
        out += run;
        count -= run;
    }
}

} // namespace lumaquill
