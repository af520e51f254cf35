#pragma once

#include "stealth/StealthFormat.h"

#include <cstdint>
#include <span>

namespace lumaquill::stealth {

// The payload's P elements are coded in B = ceil(P / kMaxBlockElements)
// independent codes of nearly equal size: block b takes the elements
// floor(b P / B) .. floor((b + 1) P / B) - 1 and the message bits
// floor(b m / B) .. floor((b + 1) m / B) - 1. The Viterbi path of one block
// is all the embedding holds at a time.
class PayloadBlocks {
public:
    static uint64_t Count(uint64_t payloadElements)
    {
        return (payloadElements + kMaxBlockElements - 1) / kMaxBlockElements;
    }

    // The first element or bit of block b of blocks over total.
    static uint64_t Start(uint64_t b, uint64_t total, uint64_t blocks) { return b * total / blocks; }

    // Block b's share of items (the payload elements or the message bits).
    template <typename Item> static std::span<Item> Share(std::span<Item> items, uint64_t b, uint64_t blocks)
    {
        const uint64_t first = Start(b, items.size(), blocks);
        return items.subspan(first, Start(b + 1, items.size(), blocks) - first);
    }
};

} // namespace lumaquill::stealth
