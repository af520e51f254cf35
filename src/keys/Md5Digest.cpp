#include "keys/Md5Digest.h"

#include "core/ByteOrder.h"

namespace lumaquill {

namespace {

constexpr uint32_t kInitialState[4] = { 0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u };
constexpr size_t kBlockBytes = 64;
// The padded message ends with its bit length in words 14 and 15.
constexpr size_t kLengthWord = 14;
constexpr uint32_t kPadByte = 0x80;

// Each step adds the message word and constant (mk) to a first: a is four
// steps old, so that sum is ready early and only the boolean function of b,
// the rotation and the final addition wait on the previous step.
inline void StepF(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t mk, int s)
{
    a = Rotl32(a + mk + (d ^ (b & (c ^ d))), s) + b;
}

// (b & d) | (c & ~d) as a sum of two terms without common bits, so the term
// that does not involve b is added before b is known.
inline void StepG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t mk, int s)
{
    a = Rotl32(a + mk + (c & ~d) + (b & d), s) + b;
}

inline void StepH(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t mk, int s)
{
    a = Rotl32(a + mk + (b ^ (c ^ d)), s) + b;
}

inline void StepI(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t mk, int s)
{
    a = Rotl32(a + mk + (c ^ (b | ~d)), s) + b;
}

// One MD5 block (RFC 1321). Fully unrolled so that word indices, constants
// and rotations are immediates and the chain of steps has nothing else in it;
// always inlined so that a block of known zero words loses their additions.
[[gnu::always_inline]] inline void Compress(uint32_t state[4], const uint32_t m[16])
{
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    StepF(a, b, c, d, m[0] + 0xD76AA478u, 7);
    StepF(d, a, b, c, m[1] + 0xE8C7B756u, 12);
    StepF(c, d, a, b, m[2] + 0x242070DBu, 17);
    StepF(b, c, d, a, m[3] + 0xC1BDCEEEu, 22);
    StepF(a, b, c, d, m[4] + 0xF57C0FAFu, 7);
    StepF(d, a, b, c, m[5] + 0x4787C62Au, 12);
    StepF(c, d, a, b, m[6] + 0xA8304613u, 17);
    StepF(b, c, d, a, m[7] + 0xFD469501u, 22);
    StepF(a, b, c, d, m[8] + 0x698098D8u, 7);
    StepF(d, a, b, c, m[9] + 0x8B44F7AFu, 12);
    StepF(c, d, a, b, m[10] + 0xFFFF5BB1u, 17);
    StepF(b, c, d, a, m[11] + 0x895CD7BEu, 22);
    StepF(a, b, c, d, m[12] + 0x6B901122u, 7);
    StepF(d, a, b, c, m[13] + 0xFD987193u, 12);
    StepF(c, d, a, b, m[14] + 0xA679438Eu, 17);
    StepF(b, c, d, a, m[15] + 0x49B40821u, 22);

    StepG(a, b, c, d, m[1] + 0xF61E2562u, 5);
    StepG(d, a, b, c, m[6] + 0xC040B340u, 9);
    StepG(c, d, a, b, m[11] + 0x265E5A51u, 14);
    StepG(b, c, d, a, m[0] + 0xE9B6C7AAu, 20);
    StepG(a, b, c, d, m[5] + 0xD62F105Du, 5);
    StepG(d, a, b, c, m[10] + 0x02441453u, 9);
    StepG(c, d, a, b, m[15] + 0xD8A1E681u, 14);
    StepG(b, c, d, a, m[4] + 0xE7D3FBC8u, 20);
    StepG(a, b, c, d, m[9] + 0x21E1CDE6u, 5);
    StepG(d, a, b, c, m[14] + 0xC33707D6u, 9);
    StepG(c, d, a, b, m[3] + 0xF4D50D87u, 14);
    StepG(b, c, d, a, m[8] + 0x455A14EDu, 20);
    StepG(a, b, c, d, m[13] + 0xA9E3E905u, 5);
    StepG(d, a, b, c, m[2] + 0xFCEFA3F8u, 9);
    StepG(c, d, a, b, m[7] + 0x676F02D9u, 14);
    StepG(b, c, d, a, m[12] + 0x8D2A4C8Au, 20);

    StepH(a, b, c, d, m[5] + 0xFFFA3942u, 4);
    StepH(d, a, b, c, m[8] + 0x8771F681u, 11);
    StepH(c, d, a, b, m[11] + 0x6D9D6122u, 16);
    StepH(b, c, d, a, m[14] + 0xFDE5380Cu, 23);
    StepH(a, b, c, d, m[1] + 0xA4BEEA44u, 4);
    StepH(d, a, b, c, m[4] + 0x4BDECFA9u, 11);
    StepH(c, d, a, b, m[7] + 0xF6BB4B60u, 16);
    StepH(b, c, d, a, m[10] + 0xBEBFBC70u, 23);
    StepH(a, b, c, d, m[13] + 0x289B7EC6u, 4);
    StepH(d, a, b, c, m[0] + 0xEAA127FAu, 11);
    StepH(c, d, a, b, m[3] + 0xD4EF3085u, 16);
    StepH(b, c, d, a, m[6] + 0x04881D05u, 23);
    StepH(a, b, c, d, m[9] + 0xD9D4D039u, 4);
    StepH(d, a, b, c, m[12] + 0xE6DB99E5u, 11);
    StepH(c, d, a, b, m[15] + 0x1FA27CF8u, 16);
    StepH(b, c, d, a, m[2] + 0xC4AC5665u, 23);

    StepI(a, b, c, d, m[0] + 0xF4292244u, 6);
    StepI(d, a, b, c, m[7] + 0x432AFF97u, 10);
    StepI(c, d, a, b, m[14] + 0xAB9423A7u, 15);
    StepI(b, c, d, a, m[5] + 0xFC93A039u, 21);
    StepI(a, b, c, d, m[12] + 0x655B59C3u, 6);
    StepI(d, a, b, c, m[3] + 0x8F0CCC92u, 10);
    StepI(c, d, a, b, m[10] + 0xFFEFF47Du, 15);
    StepI(b, c, d, a, m[1] + 0x85845DD1u, 21);
    StepI(a, b, c, d, m[8] + 0x6FA87E4Fu, 6);
    StepI(d, a, b, c, m[15] + 0xFE2CE6E0u, 10);
    StepI(c, d, a, b, m[6] + 0xA3014314u, 15);
    StepI(b, c, d, a, m[13] + 0x4E0811A1u, 21);
    StepI(a, b, c, d, m[4] + 0xF7537E82u, 6);
    StepI(d, a, b, c, m[11] + 0xBD3AF235u, 10);
    StepI(c, d, a, b, m[2] + 0x2AD7D2BBu, 15);
    StepI(b, c, d, a, m[9] + 0xEB86D391u, 21);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

} // namespace

Md5Bytes Md5Digest(const uint8_t* data, size_t length)
{
    uint32_t state[4] = { kInitialState[0], kInitialState[1], kInitialState[2], kInitialState[3] };
    uint32_t m[16];
    size_t done = 0;
    for (; done + kBlockBytes <= length; done += kBlockBytes) {
        for (int i = 0; i < 16; ++i)
            m[i] = Load32Le(data + done + 4 * i);
        Compress(state, m);
    }

    // The tail is assembled as words: its bytes, the pad byte, zeros, and the
    // bit length, spilling into a second block when fewer than 8 bytes remain.
    // One loop of fixed length builds every word in place, which also keeps
    // the compiler from turning the copy into a library call.
    const uint8_t* tail = data + done;
    const size_t rest = length - done;
    const size_t fullWords = rest / 4;
    uint32_t last = kPadByte << (8 * (rest % 4));
    for (size_t k = rest % 4; k > 0; --k)
        last |= uint32_t(tail[4 * fullWords + k - 1]) << (8 * (k - 1));
    for (size_t i = 0; i < 16; ++i)
        m[i] = i < fullWords ? Load32Le(tail + 4 * i) : i == fullWords ? last : 0;
    if (fullWords >= kLengthWord) {
        Compress(state, m);
        for (size_t i = 0; i < kLengthWord; ++i)
            m[i] = 0;
    }
    m[kLengthWord] = static_cast<uint32_t>(length << 3);
    m[kLengthWord + 1] = static_cast<uint32_t>(static_cast<uint64_t>(length) >> 29);
    Compress(state, m);

    Md5Bytes digest;
    for (int i = 0; i < 4; ++i)
        Store32Le(digest.data() + 4 * i, state[i]);
    return digest;
}

std::array<uint32_t, 4> Md5OfSha1Words(const uint32_t sha1Words[5])
{
    // Twenty message bytes, the pad byte, zeros, and the bit length.
    const uint32_t m[16] = { ByteSwap32(sha1Words[0]), ByteSwap32(sha1Words[1]), ByteSwap32(sha1Words[2]),
        ByteSwap32(sha1Words[3]), ByteSwap32(sha1Words[4]), kPadByte, 0, 0, 0, 0, 0, 0, 0, 0, 20 * 8, 0 };
    uint32_t state[4] = { kInitialState[0], kInitialState[1], kInitialState[2], kInitialState[3] };
    Compress(state, m);
    return { ByteSwap32(state[0]), ByteSwap32(state[1]), ByteSwap32(state[2]), ByteSwap32(state[3]) };
}

Md5Bytes Md5Digest(std::string_view text)
{
    return Md5Digest(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

} // namespace lumaquill
