#include "keys/Sha1Compress.h"

namespace lumaquill {

namespace {

inline uint32_t Rotl(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

// The four round groups of 20 differ only in their boolean function and
// constant.
enum class Group { Choose, Parity1, Majority, Parity2 };

template <Group G>
inline uint32_t RoundFunction(uint32_t b, uint32_t c, uint32_t d)
{
    if constexpr (G == Group::Choose)
        return d ^ (b & (c ^ d));
    else if constexpr (G == Group::Majority)
        return (b & c) | (d & (b | c));
    else
        return b ^ c ^ d;
}

template <Group G>
constexpr uint32_t kRoundConstant = G == Group::Choose ? 0x5A827999u
    : G == Group::Parity1                              ? 0x6ED9EBA1u
    : G == Group::Majority                             ? 0x8F1BBCDCu
                                                       : 0xCA62C1D6u;

// Word i of the message schedule, for i >= 16, kept in a ring of sixteen.
inline uint32_t Expand(uint32_t w[16], int i)
{
    const uint32_t x = w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15];
    w[i & 15] = Rotl(x, 1);
    return w[i & 15];
}

template <Group G>
inline void Step(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t word)
{
    e += Rotl(a, 5) + RoundFunction<G>(b, c, d) + kRoundConstant<G> + word;
    b = Rotl(b, 30);
}

// Twenty rounds starting at round first. The five calls per iteration rotate
// the roles of the variables instead of moving values between them.
template <Group G>
inline void Twenty(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, uint32_t w[16], int first)
{
    for (int i = first; i < first + 20; i += 5) {
        auto word = [&](int k) { return k < 16 ? w[k] : Expand(w, k); };
        Step<G>(a, b, c, d, e, word(i));
        Step<G>(e, a, b, c, d, word(i + 1));
        Step<G>(d, e, a, b, c, word(i + 2));
        Step<G>(c, d, e, a, b, word(i + 3));
        Step<G>(b, c, d, e, a, word(i + 4));
    }
}

} // namespace

void Sha1CompressPortable(uint32_t state[5], const uint32_t words[16])
{
    uint32_t w[16];
    for (int i = 0; i < 16; ++i)
        w[i] = words[i];
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    Twenty<Group::Choose>(a, b, c, d, e, w, 0);
    Twenty<Group::Parity1>(a, b, c, d, e, w, 20);
    Twenty<Group::Majority>(a, b, c, d, e, w, 40);
    Twenty<Group::Parity2>(a, b, c, d, e, w, 60);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
}

} // namespace lumaquill
