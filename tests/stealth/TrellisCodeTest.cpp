#include "stealth/TrellisCode.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace lumaquill::stealth {
namespace {

// The table starts with the searched columns (T[0] = 0x5d, T[1] = 0x7b,
// T[2] = 0x59); from T[64] on it is the column-table keystream of the
// format document (first bytes from Python's hashlib.blake2b).
TEST(TrellisCodeTest, ColumnTableIsAsDocumented)
{
    const auto& columns = TrellisCode::Columns();
    EXPECT_EQ(columns[0], 0x5d);
    EXPECT_EQ(columns[1], 0x7b);
    EXPECT_EQ(columns[2], 0x59);
    EXPECT_EQ(columns[63], 0x65);
    EXPECT_EQ(columns[64], 0x65);
    EXPECT_EQ(columns[255], 0x59);
    for (uint8_t column : columns)
        EXPECT_EQ(column & 0x41, 0x41);
}

struct KnownSyndrome {
    const char* Name;
    std::vector<uint8_t> Parities;
    std::vector<uint8_t> Message;
};

// Worked by hand from T[0] = 0x5d (bits 0, 2, 3, 4, 6), T[1] = 0x7b (bits
// 0, 1, 3, 4, 5, 6) and T[2] = 0x59 (bits 0, 3, 4, 6). n = 6, m = 3:
// segments {0, 1}, {2, 3}, {4, 5}; row 0 = p0 ^ p1, row 1 = p1 ^ p2 ^ p3,
// row 2 = p0 ^ p3 ^ p4 ^ p5. n = 6, m = 2: segments {0, 1, 2}, {3, 4, 5};
// row 0 = p0 ^ p1 ^ p2, row 1 = p1 ^ p3 ^ p4 ^ p5.
TEST(TrellisCodeTest, ExtractKnownAnswers)
{
    const KnownSyndrome cases[] = {
        { "first element reaches rows 0 and 2", { 1, 0, 0, 0, 0, 0 }, { 1, 0, 1 } },
        { "second element reaches rows 0 and 1", { 0, 1, 0, 0, 0, 0 }, { 1, 1, 0 } },
        { "fourth element reaches rows 1 and 2", { 0, 0, 0, 1, 0, 0 }, { 0, 1, 1 } },
        { "third and fourth cancel in row 1", { 0, 0, 1, 1, 0, 0 }, { 0, 0, 1 } },
        { "fifth element reaches row 2 only", { 0, 0, 0, 0, 1, 0 }, { 0, 0, 1 } },
        { "two segments: second element", { 0, 1, 0, 0, 0, 0 }, { 1, 1 } },
        { "two segments: third element", { 0, 0, 1, 0, 0, 0 }, { 1, 0 } },
        { "two segments: first and fifth", { 1, 0, 0, 0, 1, 0 }, { 1, 1 } },
    };
    for (const KnownSyndrome& known : cases) {
        std::vector<uint8_t> message(known.Message.size());
        TrellisCode::Extract(known.Parities, message);
        EXPECT_EQ(message, known.Message) << known.Name;
    }
}

struct Sizes {
    size_t Elements;
    size_t Bits;
};

// Random covers, costs and messages: what Embed makes carries the message,
// at every rate from 1 to about 1/100 and on sizes that leave ragged
// segments.
TEST(TrellisCodeTest, EmbedThenExtractRoundTrips)
{
    const uint32_t seed = std::random_device {}();
    std::printf("TrellisCodeTest seed %u\n", seed);
    std::mt19937 random(seed);
    const Sizes cases[] = { { 1, 1 }, { 7, 7 }, { 8, 3 }, { 100, 1 }, { 1000, 499 }, { 1001, 127 }, { 4099, 41 },
        { 65537, 1000 }, { 12345, 6000 } };
    for (const Sizes& size : cases) {
        std::vector<uint8_t> cover(size.Elements);
        std::vector<float> costs(size.Elements);
        std::vector<uint8_t> message(size.Bits);
        for (size_t t = 0; t < size.Elements; ++t) {
            cover[t] = uint8_t(random() & 1);
            costs[t] = float(random() % 1000 + 1) / 100.0f;
        }
        for (uint8_t& bit : message)
            bit = uint8_t(random() & 1);
        std::vector<uint8_t> stego(size.Elements);
        ASSERT_TRUE(TrellisCode::Embed(cover, costs, message, stego));
        std::vector<uint8_t> carried(size.Bits);
        TrellisCode::Extract(stego, carried);
        EXPECT_EQ(carried, message) << size.Elements << " elements, " << size.Bits << " bits, seed " << seed;
    }
}

// On tiny codes every stego vector can be tried: none that carries the
// message costs less than the one Embed finds.
TEST(TrellisCodeTest, EmbedFindsTheCheapestOnTinyCodes)
{
    const uint32_t seed = std::random_device {}();
    std::printf("TrellisCodeTest seed %u\n", seed);
    std::mt19937 random(seed);
    const Sizes cases[] = { { 12, 3 }, { 13, 6 }, { 14, 2 }, { 11, 11 } };
    for (const Sizes& size : cases) {
        std::vector<uint8_t> cover(size.Elements);
        std::vector<float> costs(size.Elements);
        std::vector<uint8_t> message(size.Bits);
        for (size_t t = 0; t < size.Elements; ++t) {
            cover[t] = uint8_t(random() & 1);
            costs[t] = float(random() % 64 + 1);
        }
        for (uint8_t& bit : message)
            bit = uint8_t(random() & 1);
        auto cost = [&](const std::vector<uint8_t>& stego) {
            float total = 0;
            for (size_t t = 0; t < size.Elements; ++t)
                total += stego[t] != cover[t] ? costs[t] : 0.0f;
            return total;
        };
        std::vector<uint8_t> stego(size.Elements);
        ASSERT_TRUE(TrellisCode::Embed(cover, costs, message, stego));
        float best = 1e30f;
        std::vector<uint8_t> trial(size.Elements);
        std::vector<uint8_t> carried(size.Bits);
        for (uint32_t pattern = 0; pattern < (1u << size.Elements); ++pattern) {
            for (size_t t = 0; t < size.Elements; ++t)
                trial[t] = uint8_t((pattern >> t) & 1);
            TrellisCode::Extract(trial, carried);
            if (carried == message)
                best = std::min(best, cost(trial));
        }
        EXPECT_EQ(cost(stego), best) << size.Elements << " elements, seed " << seed;
    }
}

} // namespace
} // namespace lumaquill::stealth
