#include "keys/MersenneGen.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <iostream>
#include <limits>
#include <random>
#include <vector>

namespace lumaquill {
namespace {

// The 351-word generator written as plainly as possible, with every index
// taken mod 351, to check the split loops of the real one.
class PlainMersenne {
public:
    explicit PlainMersenne(const std::array<uint32_t, 351>& state)
        : State(state)
    {
    }

    uint32_t Next32()
    {
        if (Index >= 351) {
            for (int i = 0; i < 351; ++i) {
                const uint32_t y = (State[i] & 0xFFF80000u) | (State[(i + 1) % 351] & 0x0007FFFFu);
                State[i] = State[(i + 175) % 351] ^ (y >> 1) ^ ((y % 2) ? 0xEABD75F5u : 0u);
            }
            Index = 0;
        }
        uint32_t y = State[Index++];
        y ^= y >> 11;
        y ^= (y << 7) & 0x655E5280u;
        y ^= (y << 15) & 0xFFD58000u;
        y ^= y >> 17;
        return y;
    }

private:
    std::array<uint32_t, 351> State;
    int Index = 351;
};

// The seeding rule: each word is the previous one times 29943829 minus one,
// starting from the given first word.
std::array<uint32_t, 351> StateFrom(uint32_t first)
{
    std::array<uint32_t, 351> state {};
    state[0] = first;
    for (int i = 1; i < 351; ++i) {
        state[i] = state[i - 1] * 29943829u - 1u;
    }
    return state;
}

TEST(MersenneGenTest, SeedHundredFirstWords)
{
    MersenneGen gen;
    gen.Seed(100);
    EXPECT_EQ(gen.Next32(), 0xF3AAD750u);
    EXPECT_EQ(gen.Next32(), 0x5C676702u);
    EXPECT_EQ(gen.Next32(), 0x2F1932F2u);
}

TEST(MersenneGenTest, ConstructorSeedsWithHundred)
{
    MersenneGen constructed;
    MersenneGen seeded;
    seeded.Seed(100);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(constructed.Next32(), seeded.Next32()) << "draw " << i;
    }
}

TEST(MersenneGenTest, RangeZeroOneOnSeedHundred)
{
    MersenneGen gen;
    const int expected[] = { 1, 0, 0, 0, 0, 1, 0, 1 };
    for (int bit : expected) {
        EXPECT_EQ(gen.Range(0, 1), bit);
    }
}

TEST(MersenneGenTest, RangeZeroOneIsTopBitOfWord)
{
    MersenneGen ranged;
    MersenneGen words;
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(ranged.Range(0, 1), static_cast<int32_t>(words.Next32() >> 31)) << "draw " << i;
    }
}

// Seed(0) must start the state at 0 * 29943829 - 1 = 0xFFFFFFFF, not at the
// seed itself; a generator seeded the other way gives other words.
TEST(MersenneGenTest, SeedZeroStartsFromAllOnesWord)
{
    MersenneGen gen;
    gen.Seed(0);
    PlainMersenne plain(StateFrom(0xFFFFFFFFu));
    for (int i = 0; i < 800; ++i) {
        ASSERT_EQ(gen.Next32(), plain.Next32()) << "draw " << i;
    }
}

TEST(MersenneGenTest, MatchesPlainModelAcrossRegenerations)
{
    for (uint32_t seed : { 1u, 100u, 0x80000000u, 0xFFFFFFFFu, 0x0FCF9686u }) {
        MersenneGen gen;
        gen.Seed(seed);
        PlainMersenne plain(StateFrom(seed * 29943829u - 1u));
        for (int i = 0; i < 351 * 4 + 7; ++i) {
            ASSERT_EQ(gen.Next32(), plain.Next32()) << "seed " << seed << " draw " << i;
        }
    }
}

TEST(MersenneGenTest, ReseedRestartsSequence)
{
    MersenneGen gen;
    for (int i = 0; i < 500; ++i) {
        gen.Next32();
    }
    gen.Seed(100);
    EXPECT_EQ(gen.Next32(), 0xF3AAD750u);
}

TEST(MersenneGenTest, NextUnitIsWordTimesTwoToMinus32)
{
    MersenneGen units;
    MersenneGen words;
    for (int i = 0; i < 1000; ++i) {
        const double u = units.NextUnit();
        ASSERT_EQ(u, static_cast<double>(words.Next32()) / 4294967296.0);
        ASSERT_LT(u, 1.0);
    }
}

TEST(MersenneGenTest, EmptyRangeDrawsOnceAndReturnsIntMin)
{
    MersenneGen ranged;
    MersenneGen words;
    EXPECT_EQ(ranged.Range(5, 4), std::numeric_limits<int32_t>::min());
    words.Next32();
    EXPECT_EQ(ranged.Next32(), words.Next32());
}

struct SpanCase {
    const char* Name;
    int32_t Lo;
    int32_t Hi;
};

// Whole-span cases: the width wraps to 0 for the full 32-bit span, so every
// draw gives lo; a one-value span gives that value.
TEST(MersenneGenTest, DegenerateSpans)
{
    const SpanCase cases[] = {
        { "single value", 42, 42 },
        { "single negative value", -7, -7 },
        { "full span", std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max() },
    };
    for (const SpanCase& c : cases) {
        MersenneGen gen;
        for (int i = 0; i < 50; ++i) {
            ASSERT_EQ(gen.Range(c.Lo, c.Hi), c.Lo) << c.Name;
        }
    }
}

TEST(MersenneGenTest, RandomSpansStayInBounds)
{
    const uint32_t seed = std::random_device {}();
    std::cout << "MersenneGenTest.RandomSpansStayInBounds seed " << seed << "\n";
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 pick(seed);
    MersenneGen gen;
    gen.Seed(seed);
    for (int i = 0; i < 20000; ++i) {
        // Widths up to 2^31 - 1, where the width stays positive.
        const int32_t lo = static_cast<int32_t>(pick());
        const uint32_t span = std::min<uint32_t>(pick() >> (pick() % 32 + 1), 0x7FFFFFFEu);
        const int64_t hi64 = static_cast<int64_t>(lo) + span;
        const int32_t hi = hi64 > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                                      : static_cast<int32_t>(hi64);
        const int32_t t = gen.Range(lo, hi);
        ASSERT_GE(t, lo) << lo << ".." << hi;
        ASSERT_LE(t, hi) << lo << ".." << hi;
    }
}

// Pieces of awkward sizes cross the 351-word regeneration at every offset.
TEST(MersenneGenTest, FillUnitsMatchesSingleDraws)
{
    MersenneGen filled;
    MersenneGen single;
    std::vector<double> units;
    for (int piece : { 1, 3, 4, 7, 128, 351, 500, 2 }) {
        units.resize(piece);
        filled.FillUnits(units.data(), piece);
        for (int i = 0; i < piece; ++i) {
            ASSERT_EQ(units[i], single.NextUnit()) << "piece " << piece << " index " << i;
        }
    }
    EXPECT_EQ(filled.Next32(), single.Next32());
}

} // namespace
} // namespace lumaquill
