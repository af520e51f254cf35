#include "keys/Sha1Compress.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define LUMAQUILL_SHA_NI 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace lumaquill {

#if LUMAQUILL_SHA_NI

namespace {

#define LUMAQUILL_SHA_TARGET __attribute__((target("sha,sse4.1")))

// Rounds 4g .. 4g+3. The extension instructions hold a, b, c, d in one
// register (a in the top lane) and e in the top lane of another; e for the
// next group comes from this group's input a, which is why the two e
// registers alternate. Message words for group g + 3 are prepared here in
// three stages (msg1 now, xor one group later, msg2 two groups later), so
// the schedule never waits on the rounds.
template <int G>
LUMAQUILL_SHA_TARGET inline __attribute__((always_inline)) void Group(
    __m128i& abcd, __m128i& e, __m128i& nextE, __m128i (&msg)[4])
{
    static_assert(G > 0 && G < 20);
    e = _mm_sha1nexte_epu32(e, msg[G % 4]);
    nextE = abcd;
    if constexpr (G >= 3 && G <= 18)
        msg[(G + 1) % 4] = _mm_sha1msg2_epu32(msg[(G + 1) % 4], msg[G % 4]);
    abcd = _mm_sha1rnds4_epu32(abcd, e, G / 5);
    if constexpr (G <= 16)
        msg[(G + 3) % 4] = _mm_sha1msg1_epu32(msg[(G + 3) % 4], msg[G % 4]);
    if constexpr (G >= 2 && G <= 17)
        msg[(G + 2) % 4] = _mm_xor_si128(msg[(G + 2) % 4], msg[G % 4]);
}

// Four message words with the first in the top lane, as the instructions
// expect.
LUMAQUILL_SHA_TARGET inline __m128i LoadWords(const uint32_t* words)
{
    return _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(words)), 0x1B);
}

LUMAQUILL_SHA_TARGET void CompressShaNi(uint32_t state[5], const uint32_t words[16])
{
    const __m128i abcdIn = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    const __m128i eIn = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    __m128i msg[4] = { LoadWords(words), LoadWords(words + 4), LoadWords(words + 8), LoadWords(words + 12) };

    __m128i abcd = abcdIn;
    __m128i e0 = _mm_add_epi32(eIn, msg[0]);
    __m128i e1 = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, e0, 0);
    Group<1>(abcd, e1, e0, msg);
    Group<2>(abcd, e0, e1, msg);
    Group<3>(abcd, e1, e0, msg);
    Group<4>(abcd, e0, e1, msg);
    Group<5>(abcd, e1, e0, msg);
    Group<6>(abcd, e0, e1, msg);
    Group<7>(abcd, e1, e0, msg);
    Group<8>(abcd, e0, e1, msg);
    Group<9>(abcd, e1, e0, msg);
    Group<10>(abcd, e0, e1, msg);
    Group<11>(abcd, e1, e0, msg);
    Group<12>(abcd, e0, e1, msg);
    Group<13>(abcd, e1, e0, msg);
    Group<14>(abcd, e0, e1, msg);
    Group<15>(abcd, e1, e0, msg);
    Group<16>(abcd, e0, e1, msg);
    Group<17>(abcd, e1, e0, msg);
    Group<18>(abcd, e0, e1, msg);
    Group<19>(abcd, e1, e0, msg);

    // e0 now holds a from before the last group: its rotation is the new e.
    e0 = _mm_sha1nexte_epu32(e0, eIn);
    abcd = _mm_add_epi32(abcd, abcdIn);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

bool ProcessorHasShaNi()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const bool ssse3 = (ecx & bit_SSSE3) != 0;
    const bool sse41 = (ecx & bit_SSE4_1) != 0;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    const bool sha = (ebx & bit_SHA) != 0;
    return ssse3 && sse41 && sha;
}

} // namespace

Sha1CompressFunction Sha1CompressAccelerated()
{
    static const bool present = ProcessorHasShaNi();
    return present ? CompressShaNi : nullptr;
}

#undef LUMAQUILL_SHA_TARGET

#else

Sha1CompressFunction Sha1CompressAccelerated()
{
    return nullptr;
}

#endif

} // namespace lumaquill
