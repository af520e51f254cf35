#include "engine/StegEngine.h"
#include "engine/WalkTestSupport.h"

#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace lumaquill {
namespace {

using walktest::LoadFromBytes;
using walktest::MakeFlatBitmap;

struct CapacityCase {
    const char* Name;
    int32_t Width;
    int32_t Height;
    uint16_t Bits;
    // Modes 0 to 5.
    std::array<int32_t, 6> Capacities;
};

TEST(CapacityTest, PayloadBytesPerMode)
{
    const CapacityCase cases[] = {
        { "640x480", 640, 480, 24, { 34304, 98304, 149504, 303104, 917504, 917504 } },
        { "100x100", 100, 100, 24, { -2846, -763, 904, 5904, 25904, 25904 } },
        // 32-bit rows have no padding: the same 10000 slots.
        { "100x100 32-bit", 100, 100, 32, { -2846, -763, 904, 5904, 25904, 25904 } },
        // Row padding counts as slots: 303 pixel bytes a row padded to 304,
        // so P = 3040 / 3 = 1013 for ten rows.
        { "101x10 padded", 101, 10, 24, { 126 - 4096, 337 - 4096, 506 - 4096, 1013 - 4096, 3039 - 4096, 3039 - 4096 } },
    };
    for (const CapacityCase& c : cases) {
        StegEngine engine;
        ASSERT_TRUE(LoadFromBytes(engine, MakeFlatBitmap(c.Width, c.Height, c.Bits, 0))) << c.Name;
        for (int32_t mode = 0; mode < 6; ++mode)
            EXPECT_EQ(engine.Capacity(mode), c.Capacities[mode]) << c.Name << " mode " << mode;
        EXPECT_EQ(engine.Capacity(6), -4096) << c.Name;
        EXPECT_EQ(engine.Capacity(-1), -4096) << c.Name;
    }
}

// No header: no pixel slots, the reserve alone.
TEST(CapacityTest, WithoutImageEveryModeGivesMinusReserve)
{
    StegEngine engine;
    for (int32_t mode = 0; mode < 7; ++mode)
        EXPECT_EQ(engine.Capacity(mode), -4096) << "mode " << mode;
}

struct ChooseCase {
    uint32_t Size;
    int32_t Mode;
    // The name field stored after the payload; 0 for text.
    uint32_t NameBytes = 0;
};

struct ChooseTable {
    const char* Name;
    int32_t Width;
    int32_t Height;
    std::vector<ChooseCase> Cases;
};

// The sparsest mode whose capacity is positive and above the size and whose
// run the rest of the walk holds; 6 when none is. On a fresh map the walk
// hands out interior cells - 99 positions; a run takes 6 for the mode header,
// then (payload + name + 2) x pixels per byte + 2. Where even mode 3's
// capacity is not positive, the walk alone decides.
TEST(CapacityTest, ChooseModeTakesTheSparsestModeThatFits)
{
    const ChooseTable tables[] = {
        { "640x480", 640, 480,
            { { 0, 0 }, { 34303, 0 }, { 34304, 1 }, { 98303, 1 }, { 98304, 2 }, { 303103, 3 }, { 303104, 6 },
                { 0xFFFFFFFF, 6 } } },
        // Modes 0 and 1 have negative capacities here and never fit.
        { "100x100", 100, 100,
            { { 0, 2 }, { 500, 2 }, { 903, 2 }, { 904, 3 }, { 5903, 3 }, { 5904, 6 }, { 0xFFFFFFFF, 6 } } },
        // Capacity(3) < 0: 1444 - 99 positions, 165 bytes in mode 0, 443
        // in mode 1, 666 in mode 2, 1335 in mode 3.
        { "40x40", 40, 40,
            { { 0, 0 }, { 165, 0 }, { 166, 1 }, { 115, 0, 50 }, { 116, 1, 50 }, { 443, 1 }, { 444, 2 }, { 666, 2 },
                { 667, 3 }, { 1335, 3 }, { 1336, 6 }, { 0xFFFFFFFF, 6 } } },
        // Capacity(2) = 2054, but the walk's 4098 - 99 positions hold 1993
        // bytes in mode 2.
        { "4100x3", 4100, 3, { { 1993, 2 }, { 1994, 3 }, { 1943, 2, 50 }, { 1944, 3, 50 } } },
        // Capacity(3) = 1904, but the walk's 1998 - 99 positions hold 1889.
        { "2000x3", 2000, 3, { { 1889, 3 }, { 1890, 6 }, { 1839, 3, 50 }, { 1840, 6, 50 } } },
        // Two rows: the one row drawn from counts while 50 of its 4999 cells
        // are free, 4950 positions; Capacity(3) = 5904.
        { "5000x2", 5000, 2, { { 903, 2 }, { 904, 3 }, { 4940, 3 }, { 4941, 6 } } },
        { "5000x1", 5000, 1, { { 0, 6 } } },
    };
    for (const ChooseTable& table : tables) {
        StegEngine engine;
        ASSERT_TRUE(LoadFromBytes(engine, MakeFlatBitmap(table.Width, table.Height, 24, 0))) << table.Name;
        for (const ChooseCase& c : table.Cases)
            EXPECT_EQ(engine.ChooseMode(c.Size, c.NameBytes), c.Mode)
                << table.Name << " size " << c.Size << " name " << c.NameBytes;
    }
}

// The capacities a loaded picture reports are those of its size, and a
// picture of 2^31 pixel bytes or more saturates instead of wrapping: a valid
// 27000 x 27000 BMP never shows negative capacities.
TEST(CapacityTest, SaturatesForHugePictures)
{
    const CapacityCase loaded[] = {
        { "640x480", 640, 480, 24, {} },
        { "101x10 padded", 101, 10, 24, {} },
        { "100x100 32-bit", 100, 100, 32, {} },
    };
    for (const CapacityCase& c : loaded) {
        StegEngine engine;
        ASSERT_TRUE(LoadFromBytes(engine, MakeFlatBitmap(c.Width, c.Height, c.Bits, 0))) << c.Name;
        for (int32_t mode = -1; mode <= 6; ++mode)
            EXPECT_EQ(StegEngine::CapacityFor(c.Width, c.Height, c.Bits, mode), engine.Capacity(mode)) << c.Name;
    }
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    // 27000 x 27000 x 3 = 2 187 000 000 pixel bytes.
    EXPECT_EQ(StegEngine::CapacityFor(27000, 27000, 24, 0), 729000000 / 8 - 4096);
    EXPECT_EQ(StegEngine::CapacityFor(27000, 27000, 24, 3), 729000000 - 4096);
    EXPECT_EQ(StegEngine::CapacityFor(27000, 27000, 24, 4), kMax);
    EXPECT_EQ(StegEngine::CapacityFor(27000, 27000, 24, 5), kMax);
    EXPECT_EQ(StegEngine::CapacityFor(40000, 40000, 32, 3), 1600000000 - 4096);
    EXPECT_EQ(StegEngine::CapacityFor(kMax, kMax, 32, 3), kMax);
    for (int32_t mode = 0; mode <= 5; ++mode)
        EXPECT_GT(StegEngine::CapacityFor(30000, 30000, 32, mode), 0) << mode;
}

} // namespace
} // namespace lumaquill
