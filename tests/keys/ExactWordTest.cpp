#include "keys/ExactWord.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

namespace lumaquill {
namespace {

void ExpectExact(uint32_t y)
{
    ASSERT_EQ(WordAsDouble(y), static_cast<double>(y)) << y;
    ASSERT_EQ(WordTimesTwoToMinus32(y), static_cast<double>(y) / 4294967296.0) << y;
}

TEST(ExactWordTest, EdgeWords)
{
    for (uint32_t y : { 0u, 1u, 2u, 0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xFFFFFFFEu, 0xFFFFFFFFu }) {
        ExpectExact(y);
    }
    EXPECT_EQ(std::bit_cast<uint64_t>(WordAsDouble(0)), 0u) << "zero must be +0.0";
    EXPECT_EQ(std::bit_cast<uint64_t>(WordTimesTwoToMinus32(0)), 0u) << "zero must be +0.0";
}

TEST(ExactWordTest, EverySingleBitAndItsComplement)
{
    for (int bit = 0; bit < 32; ++bit) {
        ExpectExact(1u << bit);
        ExpectExact(~(1u << bit));
    }
}

TEST(ExactWordTest, RandomWords)
{
    const uint32_t seed = std::random_device {}();
    std::cout << "ExactWordTest.RandomWords seed " << seed << "\n";
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 pick(seed);
    for (int i = 0; i < 200000; ++i) {
        ExpectExact(static_cast<uint32_t>(pick()));
    }
}

} // namespace
} // namespace lumaquill
