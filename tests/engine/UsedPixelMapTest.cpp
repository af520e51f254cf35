#include "engine/UsedPixelMap.h"

#include <gtest/gtest.h>
#include <random>
#include <utility>

namespace lumaquill {
namespace {

struct InteriorCase {
    const char* Name;
    int32_t Width;
    int32_t Height;
    int32_t Remaining;
};

TEST(UsedPixelMapTest, ResizeCountsInteriorCells)
{
    const InteriorCase cases[] = {
        { "square", 100, 100, 9604 },
        { "odd", 47, 33, 45 * 31 },
        { "two wide", 2, 50, 0 },
        { "one wide", 1, 50, -48 },
        // Two rows or fewer count whole rows.
        { "two high", 10, 2, 16 },
        { "one high", 10, 1, 8 },
        { "empty", 0, 0, 0 },
    };
    for (const InteriorCase& c : cases) {
        UsedPixelMap map;
        map.Resize(c.Width, c.Height);
        EXPECT_EQ(map.Remaining, c.Remaining) << c.Name;
        EXPECT_EQ(map.Width, c.Width) << c.Name;
        EXPECT_EQ(map.Height, c.Height) << c.Name;
    }
}

TEST(UsedPixelMapTest, MarkingTwiceCountsOnce)
{
    UsedPixelMap map;
    map.Resize(10, 10);
    map.Mark(3, 4);
    map.Mark(3, 4);
    EXPECT_EQ(map.Remaining, 63);
    EXPECT_TRUE(map.IsUsed(3, 4));
    EXPECT_FALSE(map.IsUsed(4, 3));
}

TEST(UsedPixelMapTest, BorderCellsCountAgainstRemaining)
{
    UsedPixelMap map;
    map.Resize(10, 10);
    map.Mark(0, 0);
    map.Mark(9, 9);
    EXPECT_EQ(map.Remaining, 62);
}

TEST(UsedPixelMapTest, MarkOutsideChangesNothing)
{
    UsedPixelMap map;
    map.Resize(10, 10);
    const std::pair<int32_t, int32_t> outside[] = { { -1, 0 }, { 0, -1 }, { 10, 0 }, { 0, 10 } };
    for (const auto& [x, y] : outside) {
        map.Mark(x, y);
        EXPECT_FALSE(map.IsUsed(x, y));
    }
    EXPECT_EQ(map.Remaining, 64);
}

TEST(UsedPixelMapTest, ResetFreesEveryCell)
{
    UsedPixelMap map;
    map.Resize(10, 10);
    map.Mark(5, 5);
    EXPECT_TRUE(map.Reset());
    EXPECT_FALSE(map.IsUsed(5, 5));
    EXPECT_EQ(map.Remaining, 64);
}

TEST(UsedPixelMapTest, MapWithoutCellsCountsEverythingFree)
{
    UsedPixelMap map;
    map.Resize(0, 0);
    EXPECT_FALSE(map.HasCells());
    map.Mark(1, 1);
    EXPECT_FALSE(map.IsUsed(1, 1));
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(map.FindFree(5, 5, x, y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
}

TEST(UsedPixelMapTest, FindFreeScansRowsLeftToRight)
{
    UsedPixelMap map;
    map.Resize(5, 4);
    const std::pair<int32_t, int32_t> expected[] = { { 1, 1 }, { 2, 1 }, { 3, 1 }, { 1, 2 }, { 2, 2 }, { 3, 2 } };
    for (const auto& [ex, ey] : expected) {
        int32_t x = 0;
        int32_t y = 0;
        ASSERT_TRUE(map.FindFree(3, 2, x, y));
        EXPECT_EQ(x, ex);
        EXPECT_EQ(y, ey);
        map.Mark(x, y);
    }
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_FALSE(map.FindFree(3, 2, x, y));
    EXPECT_FALSE(map.FindFree(0, 2, x, y));
    EXPECT_FALSE(map.FindFree(3, 0, x, y));
}

TEST(UsedPixelMapTest, FindFreeDoesNotMark)
{
    UsedPixelMap map;
    map.Resize(5, 4);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(map.FindFree(3, 2, x, y));
    ASSERT_TRUE(map.FindFree(3, 2, x, y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
    EXPECT_EQ(map.Remaining, 6);
}

TEST(UsedPixelMapTest, FindFreeCrossesWordBoundaries)
{
    UsedPixelMap map;
    map.Resize(70, 4);
    for (int32_t x = 1; x <= 68; ++x)
        map.Mark(x, 1);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(map.FindFree(69, 2, x, y));
    EXPECT_EQ(x, 69);
    EXPECT_EQ(y, 1);
    // The narrower scan of the same rows goes on to the next row.
    ASSERT_TRUE(map.FindFree(68, 2, x, y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
}

TEST(UsedPixelMapTest, ResetForgetsTheScanPosition)
{
    UsedPixelMap map;
    map.Resize(5, 4);
    int32_t x = 0;
    int32_t y = 0;
    map.Mark(1, 1);
    ASSERT_TRUE(map.FindFree(3, 2, x, y));
    EXPECT_EQ(x, 2);
    map.Reset();
    ASSERT_TRUE(map.FindFree(3, 2, x, y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
}

// A scan that starts from (1, 1) every time, for comparison.
bool SlowFindFree(const UsedPixelMap& map, int32_t lastX, int32_t lastY, int32_t& x, int32_t& y)
{
    for (y = 1; y <= lastY; ++y) {
        for (x = 1; x <= lastX; ++x) {
            if (!map.IsUsed(x, y))
                return true;
        }
    }
    return false;
}

// Random marks interleaved with scans of three different bounds: the cursor
// kept per bound must always agree with a scan from the start.
TEST(UsedPixelMapTest, FindFreeAgreesWithFullScanUnderRandomMarks)
{
    const uint32_t seed = 20240611;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int round = 0; round < 12; ++round) {
        // Widths up to 132 put rows across 64-cell words.
        const int32_t width = 3 + int32_t(random() % 130);
        const int32_t height = 3 + int32_t(random() % 12);
        UsedPixelMap map;
        map.Resize(width, height);
        for (int step = 0; step < 2 * width * height; ++step) {
            const int32_t shrink = int32_t(random() % 3);
            const int32_t lastX = width - 1 - shrink;
            const int32_t lastY = height - 1 - shrink;
            int32_t x = 0, y = 0, ex = 0, ey = 0;
            const bool found = map.FindFree(lastX, lastY, x, y);
            ASSERT_EQ(found, SlowFindFree(map, lastX, lastY, ex, ey)) << width << "x" << height;
            if (found) {
                ASSERT_EQ(x, ex);
                ASSERT_EQ(y, ey);
                if (random() % 2)
                    map.Mark(x, y);
            }
            map.Mark(int32_t(random() % uint32_t(width)), int32_t(random() % uint32_t(height)));
        }
    }
}

} // namespace
} // namespace lumaquill
