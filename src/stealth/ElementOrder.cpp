#include "stealth/ElementOrder.h"

#include "stealth/Keystream.h"
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
constexpr size_t kBatch = 1024;
constexpr size_t kPrefetchDistance = 16;

void SwapBatch(std::span<uint32_t> tail, const std::array<uint32_t, kBatch>& targets, size_t top, size_t count)
{
    for (size_t k = 0; k < count; ++k) {
        if (k + kPrefetchDistance < count)
            __builtin_prefetch(&tail[targets[k + kPrefetchDistance]], 1);
        std::swap(tail[top - k], tail[targets[k]]);
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
    for (uint32_t i = 0; i < saltCount; ++i) {
        const uint32_t j = i + stream.Below(static_cast<uint32_t>(elements - i));
        std::swap(order[i], order[j]);
    }
    return true;
}

void ElementOrder::ShuffleKeyed(std::span<uint32_t> tail, const SecretBytes& orderKey)
{
    Keystream stream(orderKey.Span());
    std::array<uint32_t, kBatch> targets;
    size_t top = tail.size();
    while (top > 1) {
        // Positions top - 1, top - 2, ... down to 1 in this batch.
        const size_t count = std::min(kBatch, top - 1);
        for (size_t k = 0; k < count; ++k)
            targets[k] = stream.Below(static_cast<uint32_t>(top - k));
        SwapBatch(tail, targets, top - 1, count);
        top -= count;
    }
}

} // namespace lumaquill::stealth
