#pragma once

#include "seal/SecretBytes.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumaquill::stealth {

// The order in which the codes visit the elements.
//
// Public part: order starts as 0, 1, ..., N - 1; for i = 0 .. saltCount - 1,
// j = i + Below(N - i) from the public-order keystream, and order[i] and
// order[j] swap. order[0 .. saltCount) are then the salt elements in order.
//
// Keyed part: the tail t = order[saltCount .. N), M elements, is shuffled
// from the back: for i = M - 1 down to 1, j = Below(i + 1) from the order
// keystream, and t[i] and t[j] swap (M - 1 draws).
class ElementOrder {
public:
    // The public part over N elements; false when the memory cannot be had.
    static bool Start(std::vector<uint32_t>& order, uint64_t elements, uint32_t saltCount);
    // The keyed part over the tail.
    static void ShuffleKeyed(std::span<uint32_t> tail, const SecretBytes& orderKey);
};

} // namespace lumaquill::stealth
