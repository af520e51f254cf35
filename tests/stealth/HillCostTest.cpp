#include "stealth/HillCost.h"

#include "image/DibBuilder.h"
#include "image/DibImage.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace lumaquill::stealth {
namespace {

// The left half of each row flat grey, the right half noise: changes must
// cost far more on the left, or the codes would put them where a detector
// sees them first. Also: one cost per element, none negative or NaN.
TEST(HillCostTest, FlatAreasCostFarMoreThanNoise)
{
    constexpr uint32_t kWidth = 64;
    constexpr uint32_t kHeight = 40;
    std::mt19937 random(3);
    DibBuilder builder;
    ASSERT_TRUE(builder.Start(kWidth, kHeight, 24));
    for (uint32_t y = 0; y < kHeight; ++y) {
        uint8_t* row = builder.TopRow(y);
        for (uint32_t i = 0; i < 3 * kWidth; ++i)
            row[i] = i < 3 * kWidth / 2 ? 128 : uint8_t(random());
    }
    DibImage image;
    builder.Finish(image);
    std::vector<uint16_t> costs;
    ASSERT_TRUE(HillCost::Compute(image, costs));
    ASSERT_EQ(costs.size(), 3u * kWidth * kHeight);
    std::vector<float> flat;
    std::vector<float> noisy;
    for (uint32_t e = 0; e < costs.size(); ++e) {
        const float cost = HillCost::Expand(costs[e]);
        ASSERT_GE(cost, 0.0f);
        const uint32_t x = (e / 3) % kWidth;
        // Away from the edge between the halves, which the 15 x 15 average
        // smears by 7 pixels and the residual by 1 more.
        if (x < kWidth / 2 - 9)
            flat.push_back(cost);
        else if (x >= kWidth / 2 + 9)
            noisy.push_back(cost);
    }
    EXPECT_GT(*std::min_element(flat.begin(), flat.end()), 100 * *std::max_element(noisy.begin(), noisy.end()));
}

} // namespace
} // namespace lumaquill::stealth
