#include "stealth/TrellisCode.h"

#include "stealth/Keystream.h"
#include "stealth/StealthKeys.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <limits>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define LUMAQUILL_STEALTH_AVX2 1
#endif

namespace lumaquill::stealth {

namespace {

static_assert(kStates >= 32 && kStates % 32 == 0);
// One path bit per state and element: bit s mod 32 of word s / 32 is 1 when
// the best way into state s sets the element's parity to 1.
constexpr uint32_t kPathWords = kStates / 32;
constexpr float kUnreachable = std::numeric_limits<float>::infinity();

std::array<uint8_t, kColumnCount> MakeColumns()
{
    static_assert(kConstraintHeight <= 8);
    Keystream stream(StealthKeys::PublicKey(kColumnTableLabel));
    std::array<uint8_t, kColumnCount> columns;
    for (uint8_t& column : columns)
        column = static_cast<uint8_t>((stream.NextByte() & (kStates - 1)) | 1u | (kStates >> 1));
    std::copy(std::begin(kSearchedColumns), std::end(kSearchedColumns), columns.begin());
    return columns;
}

// The path costs of every state before and after one element.
struct Trellis {
    alignas(32) float First[kStates];
    alignas(32) float Second[kStates];
    float* Cur = First;
    float* Next = Second;
};

#if defined(__SSE2__)
// Lane t of vector k is state 4 k + t, so state s ^ column is lane
// t ^ (column & 3) of vector k ^ (column >> 2): one load and one constant
// shuffle per vector, no branch. The inner loop is the whole embedding's
// time.
template <int Lo>
void StepVectors(const float* cur, float* next, uint32_t hi, float zeroCost, float oneCost, uint32_t* bits)
{
    constexpr int kShuffle = _MM_SHUFFLE(3 ^ Lo, 2 ^ Lo, 1 ^ Lo, 0 ^ Lo);
    const __m128 zeroVector = _mm_set1_ps(zeroCost);
    const __m128 oneVector = _mm_set1_ps(oneCost);
    for (uint32_t word = 0; word < kPathWords; ++word) {
        uint32_t mask = 0;
        for (uint32_t lane = 0; lane < 8; ++lane) {
            const uint32_t k = 8 * word + lane;
            const __m128 stay = _mm_add_ps(_mm_load_ps(cur + 4 * k), zeroVector);
            __m128 from = _mm_load_ps(cur + 4 * (k ^ hi));
            from = _mm_add_ps(_mm_shuffle_ps(from, from, kShuffle), oneVector);
            const __m128 take = _mm_cmplt_ps(from, stay);
            _mm_store_ps(next + 4 * k, _mm_min_ps(stay, from));
            mask |= static_cast<uint32_t>(_mm_movemask_ps(take)) << (4 * lane);
        }
        bits[word] = mask;
    }
}

void StepSse2(const float* cur, float* next, uint8_t column, float zeroCost, float oneCost, uint32_t* bits)
{
    const uint32_t hi = column >> 2u;
    switch (column & 3u) {
    case 0:
        StepVectors<0>(cur, next, hi, zeroCost, oneCost, bits);
        break;
    case 1:
        StepVectors<1>(cur, next, hi, zeroCost, oneCost, bits);
        break;
    case 2:
        StepVectors<2>(cur, next, hi, zeroCost, oneCost, bits);
        break;
    default:
        StepVectors<3>(cur, next, hi, zeroCost, oneCost, bits);
        break;
    }
}

#if defined(LUMAQUILL_STEALTH_AVX2)
// The same with 8 states per vector where the processor has AVX2: lane t
// of vector k is state 8 k + t, and one permutation moves lane t ^ lo to t.
// Same sums, same comparisons, so the same path as the SSE2 step.
__attribute__((target("avx2"))) void StepAvx2(
    const float* cur, float* next, uint8_t column, float zeroCost, float oneCost, uint32_t* bits)
{
    const uint32_t hi = column >> 3u;
    const uint32_t lo = column & 7u;
    const __m256i lanes = _mm256_setr_epi32(
        int(0 ^ lo), int(1 ^ lo), int(2 ^ lo), int(3 ^ lo), int(4 ^ lo), int(5 ^ lo), int(6 ^ lo), int(7 ^ lo));
    const __m256 zeroVector = _mm256_set1_ps(zeroCost);
    const __m256 oneVector = _mm256_set1_ps(oneCost);
    for (uint32_t word = 0; word < kPathWords; ++word) {
        uint32_t mask = 0;
        for (uint32_t lane = 0; lane < 4; ++lane) {
            const uint32_t k = 4 * word + lane;
            const __m256 stay = _mm256_add_ps(_mm256_load_ps(cur + 8 * k), zeroVector);
            const __m256 from
                = _mm256_add_ps(_mm256_permutevar8x32_ps(_mm256_load_ps(cur + 8 * (k ^ hi)), lanes), oneVector);
            const __m256 take = _mm256_cmp_ps(from, stay, _CMP_LT_OQ);
            _mm256_store_ps(next + 8 * k, _mm256_min_ps(stay, from));
            mask |= static_cast<uint32_t>(_mm256_movemask_ps(take)) << (8 * lane);
        }
        bits[word] = mask;
    }
}

#endif

#else
void StepScalar(const float* cur, float* next, uint8_t column, float zeroCost, float oneCost, uint32_t* bits)
{
    for (uint32_t word = 0; word < kPathWords; ++word) {
        uint32_t mask = 0;
        for (uint32_t bit = 0; bit < 32; ++bit) {
            const uint32_t s = 32 * word + bit;
            const float stay = cur[s] + zeroCost;
            const float from = cur[s ^ column] + oneCost;
            const bool take = from < stay;
            next[s] = take ? from : stay;
            mask |= uint32_t(take) << bit;
        }
        bits[word] = mask;
    }
}
#endif

using StepFunction = void (*)(const float*, float*, uint8_t, float, float, uint32_t*);

// Chosen once per run: the widest step the processor has.
StepFunction ChosenStep()
{
#if defined(LUMAQUILL_STEALTH_AVX2)
    if (__builtin_cpu_supports("avx2"))
        return StepAvx2;
#endif
#if defined(__SSE2__)
    return StepSse2;
#else
    return StepScalar;
#endif
}

// Row j is complete: only states whose lowest bit is message bit j go on,
// shifted down a row; the new top row is still 0. Costs are moved so that
// the best is 0, which keeps the float sums exact enough over long codes.
void Shift(Trellis& trellis, uint8_t bit)
{
    constexpr uint32_t half = kStates / 2;
    float best = kUnreachable;
    for (uint32_t s = 0; s < half; ++s)
        best = std::min(best, trellis.Cur[2 * s + bit]);
    for (uint32_t s = 0; s < half; ++s) {
        trellis.Next[s] = trellis.Cur[2 * s + bit] - best;
        trellis.Next[s + half] = kUnreachable;
    }
    std::swap(trellis.Cur, trellis.Next);
}

uint32_t BestState(const Trellis& trellis)
{
    return static_cast<uint32_t>(std::min_element(trellis.Cur, trellis.Cur + kStates) - trellis.Cur);
}

void Backtrack(
    const std::vector<uint32_t>& path, std::span<const uint8_t> message, uint32_t state, std::span<uint8_t> stego)
{
    const std::array<uint8_t, kColumnCount>& columns = TrellisCode::Columns();
    const uint64_t n = stego.size();
    const uint64_t m = message.size();
    for (uint64_t j = m; j-- > 0;) {
        state = (state << 1) | message[j];
        const uint64_t start = TrellisCode::SegmentStart(j, n, m);
        for (uint64_t t = TrellisCode::SegmentStart(j + 1, n, m); t-- > start;) {
            const uint32_t y = (path[t * kPathWords + state / 32] >> (state % 32)) & 1u;
            stego[t] = static_cast<uint8_t>(y);
            state ^= columns[(t - start) % kColumnCount] & (0u - y);
        }
    }
    assert(state == 0);
}

} // namespace

const std::array<uint8_t, kColumnCount>& TrellisCode::Columns()
{
    static const std::array<uint8_t, kColumnCount> columns = MakeColumns();
    return columns;
}

void TrellisCode::Extract(std::span<const uint8_t> parities, std::span<uint8_t> message)
{
    const std::array<uint8_t, kColumnCount>& columns = Columns();
    const uint64_t n = parities.size();
    const uint64_t m = message.size();
    assert(n >= m);
    // Bit i of rows holds row j + i of the syndrome.
    uint32_t rows = 0;
    for (uint64_t j = 0; j < m; ++j) {
        const uint64_t start = SegmentStart(j, n, m);
        const uint64_t end = SegmentStart(j + 1, n, m);
        for (uint64_t t = start; t < end; ++t)
            rows ^= columns[(t - start) % kColumnCount] & (0u - (parities[t] & 1u));
        message[j] = static_cast<uint8_t>(rows & 1u);
        rows >>= 1;
    }
}

bool TrellisCode::Embed(std::span<const uint8_t> cover, std::span<const float> costs, std::span<const uint8_t> message,
    std::span<uint8_t> stego)
{
    const uint64_t n = cover.size();
    const uint64_t m = message.size();
    assert(costs.size() == n && stego.size() == n && m <= n);
    if (m == 0) {
        std::copy(cover.begin(), cover.end(), stego.begin());
        return true;
    }
    std::vector<uint32_t> path;
    try {
        path.resize(n * kPathWords);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::array<uint8_t, kColumnCount>& columns = Columns();
    const StepFunction step = ChosenStep();
    Trellis trellis;
    std::fill(trellis.First, trellis.First + kStates, kUnreachable);
    trellis.First[0] = 0;
    for (uint64_t j = 0; j < m; ++j) {
        const uint64_t start = SegmentStart(j, n, m);
        const uint64_t end = SegmentStart(j + 1, n, m);
        for (uint64_t t = start; t < end; ++t) {
            // Parity 0 costs nothing when the cover parity is 0, parity 1
            // nothing when it is 1.
            const float zeroCost = costs[t] * float(cover[t] & 1u);
            const float oneCost = costs[t] - zeroCost;
            step(trellis.Cur, trellis.Next, columns[(t - start) % kColumnCount], zeroCost, oneCost,
                &path[t * kPathWords]);
            std::swap(trellis.Cur, trellis.Next);
        }
        Shift(trellis, message[j]);
    }
    Backtrack(path, message, BestState(trellis), stego);
    return true;
}

} // namespace lumaquill::stealth
