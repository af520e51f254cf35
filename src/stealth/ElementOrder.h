#pragma once

#include "seal/SecretBytes.h"
#include "stealth/Keystream.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumaquill::stealth {

// The order in which the codes visit the elements: two partial Fisher-Yates
// shuffles from the front, each step i drawing j = i + Below(n - i) from
// its keystream and swapping items i and j of its array (n items).
//
// Public part: order starts as 0, 1, ..., N - 1 and takes steps 0 .. S - 1
// with the public-order keystream; order[0 .. S) are then the salt
// elements. Keyed part: the tail order[S .. N), M items, takes steps
// 0 .. M - 2 with the order keystream; its first L items are final after L
// steps, so the length can be read (and refused) before the rest is done.
class ElementOrder {
public:
    // The public part over N elements; false when the memory cannot be had.
    static bool Start(std::vector<uint32_t>& order, uint64_t elements, uint32_t saltCount);
    // Steps from .. to - 1 of a shuffle of items; a shuffle done in parts
    // takes them in order with one stream.
    static void Steps(std::span<uint32_t> items, uint64_t from, uint64_t to, Keystream& stream);
};

} // namespace lumaquill::stealth
