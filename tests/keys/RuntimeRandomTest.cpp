#include "keys/RuntimeRandom.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

// From the rule state = state * 214013 + 2531011, output (state >> 16) & 0x7FFF:
// seed 1 gives states 0x0029E2C0, 0xC823F683, 0x18BE873A, 0xE7847115.
TEST(RuntimeRandomTest, SeedOneFirstValues)
{
    RuntimeSrand(1);
    EXPECT_EQ(RuntimeRand(), 41);
    EXPECT_EQ(RuntimeRand(), 18467);
    EXPECT_EQ(RuntimeRand(), 6334);
    EXPECT_EQ(RuntimeRand(), 26500);
}

TEST(RuntimeRandomTest, StateFollowsRule)
{
    RuntimeSrand(0xDEADBEEFu);
    uint32_t state = 0xDEADBEEFu;
    for (int i = 0; i < 1000; ++i) {
        state = state * 214013u + 2531011u;
        ASSERT_EQ(RuntimeRand(), static_cast<int32_t>((state >> 16) & 0x7FFF));
        ASSERT_EQ(RuntimeRandState(), state);
    }
}

TEST(RuntimeRandomTest, SrandSetsStateExactly)
{
    RuntimeSrand(12345);
    EXPECT_EQ(RuntimeRandState(), 12345u);
}

} // namespace
} // namespace lumaquill
