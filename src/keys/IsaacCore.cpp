#include "keys/IsaacCore.h"

#include "keys/ExactWord.h"

#include <algorithm>

namespace lumaquill {

namespace {

constexpr uint32_t kGoldenRatio = 0x9E3779B9u;
constexpr int kHalf = IsaacCore::kWords / 2;

// The eight-word mixing round of the initialisation.
struct MixState {
    uint32_t W[8];

    void Mix()
    {
        uint32_t& a = W[0];
        uint32_t& b = W[1];
        uint32_t& c = W[2];
        uint32_t& d = W[3];
        uint32_t& e = W[4];
        uint32_t& f = W[5];
        uint32_t& g = W[6];
        uint32_t& h = W[7];
        // clang-format off
        a ^= b << 11; d += a; b += c;
        b ^= c >> 2;  e += b; c += d;
        c ^= d << 8;  f += c; d += e;
        d ^= e >> 16; g += d; e += f;
        e ^= f << 10; h += e; f += g;
        f ^= g >> 4;  a += f; g += h;
        g ^= h << 8;  b += g; h += a;
        h ^= a >> 9;  c += h; a += b;
        // clang-format on
    }

    // Adds eight words from source, mixes, and stores the eight into target.
    void AbsorbInto(const uint32_t* source, uint32_t* target)
    {
        for (int j = 0; j < 8; ++j) {
            W[j] += source[j];
        }
        Mix();
        for (int j = 0; j < 8; ++j) {
            target[j] = W[j];
        }
    }
};

} // namespace

void IsaacCore::Init(const uint32_t seed[kWords])
{
    for (int i = 0; i < kWords; ++i) {
        Result[i] = seed[i];
    }
    A = B = C = 0;
    MixState mix { { kGoldenRatio, kGoldenRatio, kGoldenRatio, kGoldenRatio, kGoldenRatio, kGoldenRatio, kGoldenRatio,
        kGoldenRatio } };
    for (int round = 0; round < 4; ++round) {
        mix.Mix();
    }
    for (int i = 0; i < kWords; i += 8) {
        mix.AbsorbInto(&Result[i], &Memory[i]);
    }
    for (int i = 0; i < kWords; i += 8) {
        mix.AbsorbInto(&Memory[i], &Memory[i]);
    }
    Generate();
    Count = kWords;
}

void IsaacCore::Step(uint32_t mixed, int i, int other, uint32_t& a, uint32_t& b)
{
    // The memory word is read before it is replaced; the second lookup may
    // land on the word just written.
    const uint32_t x = Memory[i];
    a = mixed + Memory[other];
    const uint32_t y = Memory[(x >> 2) & 0xFFu] + a + b;
    Memory[i] = y;
    b = Memory[(y >> 10) & 0xFFu] + x;
    Result[i] = b;
}

void IsaacCore::Generate()
{
    // c is incremented before it enters b.
    C += 1;
    uint32_t a = A;
    uint32_t b = B + C;
    for (int i = 0; i < kWords; i += 4) {
        // The partner word is half a table away, in either direction.
        const int other = i < kHalf ? i + kHalf : i - kHalf;
        Step(a ^ (a << 13), i, other, a, b);
        Step(a ^ (a >> 6), i + 1, other + 1, a, b);
        Step(a ^ (a << 2), i + 2, other + 2, a, b);
        Step(a ^ (a >> 16), i + 3, other + 3, a, b);
    }
    A = a;
    B = b;
}

void IsaacCore::FillUnits(double* out, int count)
{
    // A zero counter followed by a generation and counter 256 delivers
    // result[255] next, exactly as the single draw does.
    while (count > 0) {
        if (Count == 0) {
            Generate();
            Count = kWords;
        }
        const int run = std::min(count, static_cast<int>(Count));
        const uint32_t* top = Result + Count - 1;
        int j = 0;
        // Groups of four let the compiler convert four words at a time.
        for (; j + 4 <= run; j += 4) {
            for (int k = 0; k < 4; ++k) {
                out[j + k] = WordAsDouble(top[-(j + k)]) * kUnitScale;
            }
        }
        for (; j < run; ++j) {
            out[j] = WordAsDouble(top[-j]) * kUnitScale;
        }
        Count -= run;
        out += run;
        count -= run;
    }
}

} // namespace lumaquill
