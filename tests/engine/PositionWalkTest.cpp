#include "engine/StegEngine.h"
#include "engine/WalkBudget.h"
#include "engine/WalkTestSupport.h"
#include "keys/IsaacGen.h"

#include <array>
#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace lumaquill {
namespace {

using walktest::LoadFromBytes;
using walktest::MakeFlatBitmap;

constexpr Position kNone { -1, -1 };

std::array<uint8_t, IsaacGen::kKeyBytes> KeyFor(uint32_t seed)
{
    std::array<uint8_t, IsaacGen::kKeyBytes> key {};
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = uint8_t(seed * 31 + i * 7);
    return key;
}

// The next few draws of two generators agree: they have made the same
// number of draws since the same reseed.
void ExpectSameDrawCount(IsaacGen& engineGen, IsaacGen& reference)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(engineGen.Range(0, 1 << 20), reference.Range(0, 1 << 20)) << "draw " << i;
}

class PositionWalkTest : public ::testing::Test {
protected:
    void Load(int32_t width, int32_t height)
    {
        ASSERT_TRUE(LoadFromBytes(Engine, MakeFlatBitmap(width, height, 24, 0x404040)));
    }

    StegEngine Engine;
};

TEST_F(PositionWalkTest, FreshEngineHasA100By100Map)
{
    EXPECT_EQ(Engine.UsedPixels.Width, 100);
    EXPECT_EQ(Engine.UsedPixels.Height, 100);
    EXPECT_EQ(Engine.UsedPixels.Remaining, 9604);
    EXPECT_FALSE(Engine.FallbackScan);
    EXPECT_FALSE(Engine.HeaderMode);
    EXPECT_EQ(Engine.Progress, nullptr);
}

// Without an image there is nothing to draw from: no attempt is made, the
// walk falls back, and both scans are empty.
TEST_F(PositionWalkTest, EngineWithoutImageGivesNoPosition)
{
    EXPECT_EQ(Engine.NextPosition(), kNone);
    EXPECT_TRUE(Engine.FallbackScan);
    EXPECT_EQ(Engine.NextPosition(), kNone);
}

TEST_F(PositionWalkTest, HeaderModeScansRowsInOrderUntilFewerThan100Remain)
{
    Load(20, 15);
    Engine.HeaderMode = true;
    // 18 x 13 = 234 interior cells: 135 positions before Remaining drops to 99.
    int32_t visited = 0;
    for (int32_t y = 1; y <= 14 && visited < 135; ++y) {
        for (int32_t x = 1; x <= 19 && visited < 135; ++x, ++visited) {
            ASSERT_EQ(Engine.NextPosition(), (Position { x, y })) << "position " << visited;
            Engine.UsedPixels.Mark(x, y);
        }
    }
    EXPECT_EQ(Engine.UsedPixels.Remaining, 99);
    EXPECT_EQ(Engine.NextPosition(), kNone);
}

TEST_F(PositionWalkTest, WalkDoesNotMark)
{
    Load(20, 15);
    Engine.HeaderMode = true;
    EXPECT_EQ(Engine.NextPosition(), (Position { 1, 1 }));
    EXPECT_EQ(Engine.NextPosition(), (Position { 1, 1 }));
    EXPECT_EQ(Engine.UsedPixels.Remaining, 234);
}

TEST_F(PositionWalkTest, FewerThan100RemainingGivesNoPositionAndDrawsNothing)
{
    Load(20, 15);
    for (int32_t x = 1; x <= 135; ++x)
        Engine.UsedPixels.Mark(x % 20, 1 + x / 20);
    ASSERT_EQ(Engine.UsedPixels.Remaining, 99);
    const auto key = KeyFor(1);
    IsaacGen reference;
    reference.Reseed(key.data());
    Engine.PositionGen.Reseed(key.data());
    EXPECT_EQ(Engine.NextPosition(), kNone);
    EXPECT_FALSE(Engine.FallbackScan);
    ExpectSameDrawCount(Engine.PositionGen, reference);
    Engine.HeaderMode = true;
    EXPECT_EQ(Engine.NextPosition(), kNone);
}

TEST_F(PositionWalkTest, TwoPixelWideImageGivesNoPosition)
{
    Load(2, 50);
    EXPECT_EQ(Engine.UsedPixels.Remaining, 0);
    EXPECT_EQ(Engine.NextPosition(), kNone);
    Engine.HeaderMode = true;
    EXPECT_EQ(Engine.NextPosition(), kNone);
}

// Each attempt draws x in 1..W-1 first, then y in 1..H-1, and the first
// free cell drawn is the position.
TEST_F(PositionWalkTest, RandomWalkTakesTheFirstFreeDrawXBeforeY)
{
    Load(30, 20);
    const auto key = KeyFor(7);
    IsaacGen reference;
    reference.Reseed(key.data());
    Engine.PositionGen.Reseed(key.data());
    std::set<std::pair<int32_t, int32_t>> used;
    for (int step = 0; step < 300; ++step) {
        Position expected {};
        do {
            expected.X = reference.Range(1, 29);
            expected.Y = reference.Range(1, 19);
        } while (used.count({ expected.X, expected.Y }));
        ASSERT_EQ(Engine.NextPosition(), expected) << "step " << step;
        used.insert({ expected.X, expected.Y });
        Engine.UsedPixels.Mark(expected.X, expected.Y);
    }
    EXPECT_FALSE(Engine.FallbackScan);
}

// After exactly 2 x W x H rejected draws the walk scans one row and one
// column short of the full scan (x <= W-2, y <= H-2); from then on it scans
// up to x <= W-1, y <= H-1 without drawing.
TEST_F(PositionWalkTest, ExhaustedAttemptsSwitchToTheNarrowScanThenTheFullOne)
{
    constexpr int32_t kWidth = 12;
    constexpr int32_t kHeight = 10;
    constexpr int32_t kAttempts = 2 * kWidth * kHeight;
    Load(kWidth, kHeight);
    // Find a key whose first attempts miss a cell A in the last column and
    // a cell B inside the narrow bounds in a later row.
    for (uint32_t seed = 0; seed < 1000; ++seed) {
        const auto key = KeyFor(seed);
        IsaacGen reference;
        reference.Reseed(key.data());
        std::set<std::pair<int32_t, int32_t>> hit;
        for (int32_t i = 0; i < kAttempts; ++i) {
            const int32_t x = reference.Range(1, kWidth - 1);
            hit.insert({ x, reference.Range(1, kHeight - 1) });
        }
        Position a = kNone;
        Position b = kNone;
        for (int32_t y = 1; y <= kHeight - 2 && a == kNone; ++y) {
            if (!hit.count({ kWidth - 1, y }))
                a = { kWidth - 1, y };
        }
        for (int32_t y = a.Y + 1; y <= kHeight - 2 && a != kNone && b == kNone; ++y) {
            for (int32_t x = 1; x <= kWidth - 2 && b == kNone; ++x) {
                if (!hit.count({ x, y }))
                    b = { x, y };
            }
        }
        if (b == kNone)
            continue;
        SCOPED_TRACE("seed " + std::to_string(seed));
        Engine.UsedPixels.Reset();
        for (int32_t y = 1; y <= kHeight - 1; ++y) {
            for (int32_t x = 1; x <= kWidth - 1; ++x) {
                if (Position { x, y } != a && Position { x, y } != b)
                    Engine.UsedPixels.Mark(x, y);
            }
        }
        // Keep the walk willing to run with only two free cells.
        Engine.UsedPixels.Remaining = 1000;
        Engine.PositionGen.Reseed(key.data());
        EXPECT_EQ(Engine.NextPosition(), b);
        EXPECT_TRUE(Engine.FallbackScan);
        Engine.UsedPixels.Mark(b.X, b.Y);
        EXPECT_EQ(Engine.NextPosition(), a);
        Engine.UsedPixels.Mark(a.X, a.Y);
        EXPECT_EQ(Engine.NextPosition(), kNone);
        ExpectSameDrawCount(Engine.PositionGen, reference);
        return;
    }
    FAIL() << "no key leaves the needed cells undrawn";
}

// The walk hands out exactly the positions WalkBudget counts, whatever the
// key: every cell it reaches is drawn sooner or later, and only the
// threshold ends it. A 1-row picture has none. A 2-row picture may go on past its count (the count
// keeps 50 free cells for a run of misses) but never stops short of it.
TEST_F(PositionWalkTest, HandsOutThePositionsTheBudgetCounts)
{
    struct Shape {
        int32_t Width;
        int32_t Height;
    };
    for (const Shape shape : { Shape { 40, 40 }, Shape { 47, 33 }, Shape { 300, 3 }, Shape { 3, 300 }, Shape { 400, 2 },
             Shape { 400, 1 } }) {
        for (uint32_t seed = 1; seed <= 4; ++seed) {
            Load(shape.Width, shape.Height);
            const auto key = KeyFor(seed);
            Engine.PositionGen.Reseed(key.data());
            const int64_t counted = WalkBudget::PositionsLeft(shape.Width, shape.Height, Engine.UsedPixels.Remaining);
            int64_t handedOut = 0;
            // A 1-row picture draws y from an empty range: the byte
            // operations refuse such a position as they refuse (-1, -1).
            for (Position p = Engine.NextPosition(); p.X >= 0 && p.Y >= 0; p = Engine.NextPosition()) {
                Engine.UsedPixels.Mark(p.X, p.Y);
                ++handedOut;
            }
            if (shape.Height == 2)
                EXPECT_GE(handedOut, counted) << shape.Width << "x" << shape.Height << " seed " << seed;
            else
                EXPECT_EQ(handedOut, counted) << shape.Width << "x" << shape.Height << " seed " << seed;
        }
    }
}

} // namespace
} // namespace lumaquill
