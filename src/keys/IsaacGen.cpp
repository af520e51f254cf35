#include "keys/IsaacGen.h"

#include "core/ByteOrder.h"
#include "keys/RuntimeRandom.h"
#include "keys/Sha1Context.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumaquill {

namespace {

constexpr int kSumBlock = IsaacGen::kBlock;

// Fills words[0..count) from 4 * count runtime-generator bytes, each the
// low byte of one draw, read as little-endian words.
void FillFromRuntime(uint32_t* words, int count)
{
    for (int i = 0; i < count; ++i) {
        uint8_t bytes[4];
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(RuntimeRand() & 0xFF);
        }
        words[i] = Load32Le(bytes);
    }
}

// Each sum rounds on its own, in this order: (isaac + mersenne), then
// tt800 + that. The sum of three can reach [2, 3), and one fold then leaves
// it in [1, 2). The fold subtracts 0.0 or 1.0 instead of branching, since
// about half the sums fold at random; s - 0.0 is exactly s for every s >= 0.
void SumAndFold(const double* mersenne, const double* isaac, const double* tt800, double* out)
{
    static_assert(kSumBlock % 2 == 0);
#if defined(__SSE2__)
    // Two lanes of exactly the scalar double operations, each rounded on
    // its own.
    const __m128d one = _mm_set1_pd(1.0);
    for (int i = 0; i < kSumBlock; i += 2) {
        __m128d s = _mm_add_pd(_mm_loadu_pd(isaac + i), _mm_loadu_pd(mersenne + i));
        s = _mm_add_pd(_mm_loadu_pd(tt800 + i), s);
        const __m128d fold = _mm_and_pd(_mm_cmpge_pd(s, one), one);
        _mm_storeu_pd(out + i, _mm_sub_pd(s, fold));
    }
#else
    for (int i = 0; i < kSumBlock; ++i) {
        double s = isaac[i] + mersenne[i];
        s = tt800[i] + s;
        const uint64_t foldMask = 0 - static_cast<uint64_t>(s >= 1.0);
        out[i] = s - std::bit_cast<double>(foldMask & std::bit_cast<uint64_t>(1.0));
    }
#endif
}

} // namespace

void IsaacGen::Reseed(const uint8_t key[kKeyBytes])
{
    const Sha1Bytes digest = Sha1(key, kKeyBytes);
    Mersenne.Seed(Load32Le(&digest[0]));
    RuntimeSrand(Load32Le(&digest[4]));
    // 1024 draws for the ISAAC result table, then 100 for TT800: 1124 in all.
    uint32_t isaacSeed[IsaacCore::kWords];
    FillFromRuntime(isaacSeed, IsaacCore::kWords);
    Isaac.Init(isaacSeed);
    uint32_t tt800Seed[Tt800Core::kWords];
    FillFromRuntime(tt800Seed, Tt800Core::kWords);
    Tt800.Init(tt800Seed);
    Next = kBlock;
}

void IsaacGen::Refill()
{
    double mersenne[kBlock];
    double isaac[kBlock];
    double tt800[kBlock];
    Mersenne.FillUnits(mersenne, kBlock);
    Isaac.FillUnits(isaac, kBlock);
    Tt800.FillUnits(tt800, kBlock);
    SumAndFold(mersenne, isaac, tt800, Units);
    Next = 0;
}

} // namespace lumaquill
