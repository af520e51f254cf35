#include "keys/IsaacGen.h"

#include "keys/RuntimeRandom.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <iostream>
#include <limits>
#include <random>

namespace lumaquill {
namespace {

using Key = std::array<uint8_t, IsaacGen::kKeyBytes>;

// SHA-1 (FIPS 180-1) of 36 zero bytes is 8696cf0f 4655636c c93c566c
// 1be2dad3 11da646c; its first two little-endian words seed the cores.
constexpr uint32_t kZeroKeyMersenneSeed = 0x0FCF9686u;
constexpr uint32_t kZeroKeyRuntimeSeed = 0x6C635546u;
constexpr int kReseedDraws = 1124;

IsaacGen ZeroKeyed()
{
    const Key zeros {};
    IsaacGen gen;
    gen.Reseed(zeros.data());
    return gen;
}

// The composite assembled by hand from the public cores, following the
// reseed rule: ISAAC from the low bytes of 1024 runtime draws, TT800 from
// the next 100, words little-endian.
struct HandBuilt {
    MersenneGen Mersenne;
    IsaacCore Isaac;
    Tt800Core Tt800;

    HandBuilt(uint32_t mersenneSeed, uint32_t runtimeSeed)
    {
        Mersenne.Seed(mersenneSeed);
        RuntimeSrand(runtimeSeed);
        uint32_t isaacWords[IsaacCore::kWords];
        for (uint32_t& word : isaacWords) {
            word = NextWord();
        }
        Isaac.Init(isaacWords);
        uint32_t tt800Words[Tt800Core::kWords];
        for (uint32_t& word : tt800Words) {
            word = NextWord();
        }
        Tt800.Init(tt800Words);
    }

    static uint32_t NextWord()
    {
        uint32_t word = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            word |= static_cast<uint32_t>(RuntimeRand() & 0xFF) << shift;
        }
        return word;
    }

    double NextUnit()
    {
        const double m = Mersenne.NextUnit();
        double s = Isaac.NextUnit() + m;
        s = Tt800.NextUnit() + s;
        return s >= 1.0 ? s - 1.0 : s;
    }
};

void ExpectSameUnits(IsaacGen& a, IsaacGen& b, int count)
{
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(a.NextUnit(), b.NextUnit()) << "draw " << i;
    }
}

TEST(IsaacGenTest, ZeroKeyByteRange)
{
    IsaacGen gen = ZeroKeyed();
    const int32_t expected[] = { 63, 250, 101, 156, 61, 179, 90, 44 };
    for (int32_t value : expected) {
        EXPECT_EQ(gen.Range(0, 255), value);
    }
}

TEST(IsaacGenTest, ReseedMatchesHandBuiltCores)
{
    IsaacGen gen = ZeroKeyed();
    HandBuilt hand(kZeroKeyMersenneSeed, kZeroKeyRuntimeSeed);
    for (int i = 0; i < 1500; ++i) {
        ASSERT_EQ(gen.NextUnit(), hand.NextUnit()) << "draw " << i;
    }
}

TEST(IsaacGenTest, ReseedLeavesRuntimeGenerator1124DrawsOn)
{
    RuntimeSrand(kZeroKeyRuntimeSeed);
    for (int i = 0; i < kReseedDraws; ++i) {
        RuntimeRand();
    }
    const uint32_t expected = RuntimeRandState();
    RuntimeSrand(777);
    IsaacGen gen = ZeroKeyed();
    EXPECT_EQ(RuntimeRandState(), expected);
    gen.Range(0, 255);
    EXPECT_EQ(RuntimeRandState(), expected) << "drawing must not touch the runtime generator";
}

TEST(IsaacGenTest, ReseedDiscardsEarlierState)
{
    IsaacGen used = ZeroKeyed();
    for (int i = 0; i < 5000; ++i) {
        used.NextUnit();
    }
    const Key zeros {};
    used.Reseed(zeros.data());
    IsaacGen fresh = ZeroKeyed();
    ExpectSameUnits(used, fresh, 1000);
}

TEST(IsaacGenTest, KeyBytesAllMatter)
{
    const IsaacGen base = ZeroKeyed();
    for (int i = 0; i < IsaacGen::kKeyBytes; ++i) {
        Key key {};
        key[i] = 1;
        IsaacGen changed;
        changed.Reseed(key.data());
        IsaacGen reference = base;
        int same = 0;
        for (int j = 0; j < 16; ++j) {
            same += changed.Range(0, 255) == reference.Range(0, 255);
        }
        EXPECT_LT(same, 8) << "key byte " << i;
    }
}

TEST(IsaacGenTest, EmptyRangeReturnsMinusOneWithoutDrawing)
{
    IsaacGen ranged = ZeroKeyed();
    IsaacGen untouched = ranged;
    EXPECT_EQ(ranged.Range(7, 6), -1);
    EXPECT_EQ(ranged.Range(0, -1), -1);
    EXPECT_EQ(ranged.Range(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()), -1);
    EXPECT_EQ(ranged.Range(-1, std::numeric_limits<int32_t>::max()), -1);
    ExpectSameUnits(ranged, untouched, 1000);
}

TEST(IsaacGenTest, SingleValueRangeDrawsOneOfEachCore)
{
    IsaacGen ranged = ZeroKeyed();
    IsaacGen stepped = ranged;
    for (int32_t x : { 5, -3, 0, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min() }) {
        EXPECT_EQ(ranged.Range(x, x), x);
        stepped.NextUnit();
    }
    ExpectSameUnits(ranged, stepped, 1000);
}

TEST(IsaacGenTest, RangeIsTruncatedScaledUnitFoldedOnce)
{
    IsaacGen ranged = ZeroKeyed();
    IsaacGen units = ranged;
    int folded = 0;
    for (int i = 0; i < 5000; ++i) {
        const int32_t n = 1 + i % 97;
        int64_t t = static_cast<int64_t>(units.NextUnit() * n);
        if (t >= n) {
            t -= n;
            ++folded;
        }
        ASSERT_EQ(ranged.Range(10, 10 + n - 1), 10 + t) << "draw " << i;
    }
    EXPECT_GT(folded, 0);
}

TEST(IsaacGenTest, NextUnitStaysBelowTwo)
{
    IsaacGen gen = ZeroKeyed();
    int aboveOne = 0;
    for (int i = 0; i < 20000; ++i) {
        const double s = gen.NextUnit();
        ASSERT_GE(s, 0.0);
        ASSERT_LT(s, 2.0);
        aboveOne += s >= 1.0;
    }
    // Three units summing to [2, 3) fold only once, into [1, 2).
    EXPECT_GT(aboveOne, 0);
}

TEST(IsaacGenTest, RandomRangesStayInBounds)
{
    const uint32_t seed = std::random_device {}();
    std::cout << "IsaacGenTest.RandomRangesStayInBounds seed " << seed << "\n";
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 pick(seed);
    Key key;
    for (uint8_t& byte : key) {
        byte = static_cast<uint8_t>(pick());
    }
    IsaacGen gen;
    gen.Reseed(key.data());
    for (int i = 0; i < 50000; ++i) {
        // Widths from 1 up to 2^31 - 1, including those where the folded
        // product needs more than 31 bits before the subtraction.
        const uint32_t width = std::max<uint32_t>(1u, pick() >> (pick() % 32 + 1));
        const int64_t lo64 = static_cast<int64_t>(pick() % (0x100000000ull - width)) - 0x80000000ll;
        const int32_t lo = static_cast<int32_t>(lo64);
        const int32_t hi = static_cast<int32_t>(lo64 + width - 1);
        const int32_t t = gen.Range(lo, hi);
        ASSERT_GE(t, lo) << lo << ".." << hi;
        ASSERT_LE(t, hi) << lo << ".." << hi;
    }
}

} // namespace
} // namespace lumaquill
