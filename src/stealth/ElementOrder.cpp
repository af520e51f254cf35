#include "stealth/ElementOrder.h"

#include "stealth/StealthFormat.h"
#include "stealth/StealthKeys.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <new>
#include <numeric>
#include <utility>

namespace lumaquill::stealth {

namespace {

// Draws are made ahead in batches so that the swap targets can be fetched
// into the cache before they are needed: a 12-megapixel shuffle otherwise
// waits on memory for nearly every swap.
constexpr uint64_t kBatch = 1024;
constexpr uint64_t kPrefetchDistance = 16;

void SwapBatch(std::span<uint32_t> items, uint64_t first, const std::array<uint32_t, kBatch>& targets, uint64_t count)
{
    for (uint64_t k = 0; k < count; ++k) {
        if (k + kPrefetchDistance < count)
            __builtin_prefetch(&items[targets[k + kPrefetchDistance]], 1);
        std::swap(items[first + k], items[targets[k]]);
    }
}

} // namespace

bool ElementOrder::Start(std::vector<uint32_t>& order, uint64_t elements, uint32_t saltCount)
{
    assert(elements <= kMaxElements && saltCount <= elements);
    try {
        order.resize(elements);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::iota(order.begin(), order.end(), uint32_t { 0 });
    Keystream stream(StealthKeys::PublicKey(kPublicOrderLabel));
    Steps(order, 0, saltCount, stream);
    return true;
}

void ElementOrder::Steps(std::span<uint32_t> items, uint64_t from, uint64_t to, Keystream& stream)
{
    assert(from <= to && to <= items.size() && items.size() <= kMaxElements);
    std::array<uint32_t, kBatch> targets;
    for (uint64_t first = from; first < to; first += kBatch) {
        const uint64_t count = std::min(kBatch, to - first);
        for (uint64_t k = 0; k < count; ++k) {
            const uint64_t i = first + k;
            targets[k] = static_cast<uint32_t>(i + stream.Below(static_cast<uint32_t>(items.size() - i)));
        }
        SwapBatch(items, first, targets, count);
    }
}

} // namespace lumaquill::stealth
