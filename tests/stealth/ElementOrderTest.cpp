#include "stealth/ElementOrder.h"

#include "stealth/ElementPlan.h"
#include "stealth/StealthSizes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace lumaquill::stealth {
namespace {

// A 64 x 64 picture: N = 12288, spread floor(12288 / 640) = 19, 2432 salt
// elements. The first eight, from an independent Python model of the
// public order (hashlib.blake2b; doc/stealth-format.md).
TEST(ElementOrderTest, SaltElementsOf64By64AreAsDocumented)
{
    const std::optional<ElementPlan> plan = ElementPlan::For(64, 64);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->Spread, 19u);
    EXPECT_EQ(plan->SaltElements, 2432u);
    std::vector<uint32_t> order;
    ASSERT_TRUE(ElementOrder::Start(order, plan->Elements, plan->SaltElements));
    const std::vector<uint32_t> first(order.begin(), order.begin() + 8);
    EXPECT_EQ(first, (std::vector<uint32_t> { 4646, 6036, 3306, 11181, 5819, 5330, 8891, 4778 }));
}

const SecretBytes& OrderKey()
{
    static const SecretBytes key(std::string_view("0123456789abcdef0123456789abcdef"));
    return key;
}

TEST(ElementOrderTest, KeyedShuffleIsAPermutation)
{
    std::vector<uint32_t> order;
    ASSERT_TRUE(ElementOrder::Start(order, 30001, 1000));
    const std::span<uint32_t> tail = std::span(order).subspan(1000);
    Keystream stream(OrderKey().Span());
    ElementOrder::Steps(tail, 0, tail.size() - 1, stream);
    std::vector<uint32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (uint32_t i = 0; i < sorted.size(); ++i)
        ASSERT_EQ(sorted[i], i);
}

// A reader takes the first steps, reads the length, then takes the rest;
// the order must be the one a writer makes in one go, at batch edges too.
TEST(ElementOrderTest, ShuffleInPartsEqualsOneGo)
{
    for (uint64_t split : { 1, 1023, 1024, 1025, 5000 }) {
        std::vector<uint32_t> whole(7001);
        std::iota(whole.begin(), whole.end(), 0u);
        std::vector<uint32_t> parts = whole;
        Keystream wholeStream(OrderKey().Span());
        ElementOrder::Steps(whole, 0, whole.size() - 1, wholeStream);
        Keystream partStream(OrderKey().Span());
        ElementOrder::Steps(parts, 0, split, partStream);
        ElementOrder::Steps(parts, split, parts.size() - 1, partStream);
        EXPECT_EQ(parts, whole) << "split at " << split;
    }
}

struct SizeCase {
    const char* Name;
    int32_t Width;
    int32_t Height;
    uint64_t Safe;
    uint64_t Largest;
};

// Safe: floor(W H / 20) bits, Largest: floor(2 W H / 5) bits, each as whole
// bytes less 17 (tag and name length).
TEST(StealthSizesTest, Table)
{
    const SizeCase cases[] = {
        { "64 x 64", 64, 64, 8, 187 },
        { "1000 x 700", 1000, 700, 4358, 34983 },
        { "smallest: spread 8 needs 5120 elements", 1, 1707, 0, 68 },
        { "one pixel short of spread 8", 1, 1706, 0, 0 },
        { "empty", 0, 0, 0, 0 },
        { "negative", -64, 64, 0, 0 },
    };
    for (const SizeCase& size : cases) {
        const StealthSizes sizes = SizesFor(size.Width, size.Height);
        EXPECT_EQ(sizes.Safe, size.Safe) << size.Name;
        EXPECT_EQ(sizes.Largest, size.Largest) << size.Name;
    }
}

} // namespace
} // namespace lumaquill::stealth
