#include "core/ByteOrder.h"
#include "keys/Sha1Compress.h"

#include <cstddef>
#include <utility>

namespace lumaquill {

namespace {

// Rounds 0-19 choose, 40-59 take the majority, the others take the parity.
template <int Round> inline uint32_t RoundFunction(uint32_t b, uint32_t c, uint32_t d)
{
    if constexpr (Round < 20)
        return d ^ (b & (c ^ d));
    else if constexpr (Round >= 40 && Round < 60)
        return (b & c) | (d & (b | c));
    else
        return b ^ c ^ d;
}

template <int Round>
constexpr uint32_t kRoundConstant = Round < 20 ? 0x5A827999u
    : Round < 40                               ? 0x6ED9EBA1u
    : Round < 60                               ? 0x8F1BBCDCu
                                               : 0xCA62C1D6u;

// One round. Instead of moving the five variables along after every round,
// the round number picks which element of v plays a, b, c, d and e; with
// every index a constant the compiler keeps all five in registers. The
// message schedule is a ring of sixteen words, expanded in place from
// round 16 on.
template <int Round> inline void DoRound(uint32_t v[5], uint32_t w[16])
{
    constexpr int first = (5 - Round % 5) % 5;
    uint32_t& a = v[first];
    uint32_t& b = v[(first + 1) % 5];
    const uint32_t c = v[(first + 2) % 5];
    const uint32_t d = v[(first + 3) % 5];
    uint32_t& e = v[(first + 4) % 5];
    if constexpr (Round >= 16) {
        constexpr int i = Round % 16;
        w[i] = Rotl32(w[(i + 13) % 16] ^ w[(i + 8) % 16] ^ w[(i + 2) % 16] ^ w[i], 1);
    }
    e += Rotl32(a, 5) + RoundFunction<Round>(b, c, d) + kRoundConstant<Round> + w[Round % 16];
    b = Rotl32(b, 30);
}

template <size_t... Rounds> inline void AllRounds(uint32_t v[5], uint32_t w[16], std::index_sequence<Rounds...>)
{
    (DoRound<static_cast<int>(Rounds)>(v, w), ...);
}

} // namespace

void Sha1CompressPortable(uint32_t state[5], const uint32_t words[16])
{
    uint32_t w[16];
    for (int i = 0; i < 16; ++i)
        w[i] = words[i];
    uint32_t v[5] = { state[0], state[1], state[2], state[3], state[4] };
    AllRounds(v, w, std::make_index_sequence<80>());
    for (int i = 0; i < 5; ++i)
        state[i] += v[i];
}

} // namespace lumaquill
