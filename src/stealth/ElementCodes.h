#pragma once

#include "stealth/ElementCosts.h"
#include "stealth/ElementParities.h"
#include "stealth/ElementPlan.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace lumaquill::stealth {

// The codes of a stealth carrier over its element order, whatever the
// elements are: the salt, the length and the payload elements each carry
// their bits through a syndrome-trellis code, in the blocks of
// PayloadBlocks (salt and length sequences are one block).
class ElementCodes {
public:
    struct Parts {
        std::span<const uint32_t> Salt;
        std::span<const uint32_t> Length;
        std::span<const uint32_t> Payload;
    };
    // Called after each coded block with the blocks done and all blocks.
    using BlockDone = std::function<void(uint64_t, uint64_t)>;

    // The parts of an order built for plan.
    static Parts Split(std::span<const uint32_t> order, const ElementPlan& plan);

    // Appends to changed the elements whose parity must change so that
    // elements carry bits at the least total cost. False when the memory cannot be had.
    // REQUIRES: bits.size() <= elements.size().
    static bool Embed(std::span<const uint32_t> elements, const ElementParities& parities, const ElementCosts& costs,
        std::span<const uint8_t> bits, std::vector<uint32_t>& changed, const BlockDone& done = {});

    // The bits elements carry. False when the memory cannot be had.
    static bool Extract(std::span<const uint32_t> elements, const ElementParities& parities, std::span<uint8_t> bits);
};

} // namespace lumaquill::stealth
