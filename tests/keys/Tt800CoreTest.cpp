#include "keys/Tt800Core.h"

#include "keys/IsaacCore.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace lumaquill {
namespace {

using Words = std::array<uint32_t, Tt800Core::kWords>;

uint32_t Temper(uint32_t y)
{
    y ^= (y << 7) & 0x2B5B2500u;
    y ^= (y << 15) & 0xDB8B0000u;
    y ^= y >> 16;
    return y;
}

double Unit(uint32_t y)
{
    return static_cast<double>(Temper(y)) * IsaacCore::kUnitScale;
}

// The twist as plainly as possible, indices mod 25.
void PlainTwist(Words& x)
{
    for (int j = 0; j < 25; ++j) {
        x[j] = x[(j + 7) % 25] ^ (x[j] >> 1);
    }
}

Words Counting()
{
    Words words {};
    for (uint32_t i = 0; i < words.size(); ++i) {
        words[i] = 0x9E3779B9u * (i + 1);
    }
    return words;
}

// Hand-derived from the tempering masks 0x2B5B2500 and 0xDB8B0000 and the
// final shift by 16.
TEST(Tt800CoreTest, TemperingConstants)
{
    EXPECT_EQ(Temper(0xFFFFFFFFu), 0x9DAF4750u);
    EXPECT_EQ(Temper(0x80000000u), 0x80008000u);
    EXPECT_EQ(Temper(0x12345678u), 0x8137F34Fu);
}

TEST(Tt800CoreTest, FirstDrawUsesFirstWordUntwisted)
{
    Words words = Counting();
    words[0] = 0x12345678u;
    Tt800Core core;
    core.Init(words.data());
    EXPECT_EQ(core.NextUnit(), Unit(0x12345678u));
    EXPECT_EQ(core.NextUnit(), Unit(words[1]));
}

// The published TT800 XORs 0x8EBFD028 into the twist of odd words; this core
// does not, so words that are all 1 twist back into themselves.
TEST(Tt800CoreTest, NoOddConstantInTwist)
{
    Words ones;
    ones.fill(1u);
    Tt800Core core;
    core.Init(ones.data());
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(core.NextUnit(), IsaacCore::kUnitScale) << "draw " << i;
    }
}

TEST(Tt800CoreTest, MatchesPlainModelAcrossTwists)
{
    Words plain = Counting();
    Tt800Core core;
    core.Init(plain.data());
    for (int round = 0; round < 6; ++round) {
        for (int k = 0; k < 25; ++k) {
            ASSERT_EQ(core.NextUnit(), Unit(plain[k])) << "round " << round << " k " << k;
        }
        PlainTwist(plain);
    }
}

// Each tempering step y ^= (y << shift) & mask is undone by iterating
// x = y ^ ((x << shift) & mask) until every bit has settled.
uint32_t UndoLeft(uint32_t y, int shift, uint32_t mask)
{
    uint32_t x = y;
    for (int i = 0; i <= 32 / shift; ++i) {
        x = y ^ ((x << shift) & mask);
    }
    return x;
}

TEST(Tt800CoreTest, MaxWordGivesExactlyOne)
{
    uint32_t y = 0xFFFFFFFFu;
    y ^= y >> 16;
    y = UndoLeft(y, 15, 0xDB8B0000u);
    y = UndoLeft(y, 7, 0x2B5B2500u);
    ASSERT_EQ(Temper(y), 0xFFFFFFFFu);
    Words words {};
    words[0] = y;
    Tt800Core core;
    core.Init(words.data());
    EXPECT_EQ(core.NextUnit(), 1.0);
}

// Pieces of awkward sizes cross the 25-word twist at every offset.
TEST(Tt800CoreTest, FillUnitsMatchesSingleDraws)
{
    const Words words = Counting();
    Tt800Core filled;
    filled.Init(words.data());
    Tt800Core single;
    single.Init(words.data());
    std::vector<double> units;
    for (int piece : { 1, 3, 4, 7, 25, 128, 2 }) {
        units.resize(piece);
        filled.FillUnits(units.data(), piece);
        for (int i = 0; i < piece; ++i) {
            ASSERT_EQ(units[i], single.NextUnit()) << "piece " << piece << " index " << i;
        }
    }
    EXPECT_EQ(filled.NextUnit(), single.NextUnit());
}

} // namespace
} // namespace lumaquill
