#pragma once

#include "stealth/StealthFormat.h"

#include <array>
#include <cstdint>
#include <span>

namespace lumaquill::stealth {

// A syndrome-trellis code of constraint height h = kConstraintHeight that
// carries m message bits in the parities of n >= m elements.
//
// The n elements form m segments: segment j holds elements
// floor(j n / m) .. floor((j + 1) n / m) - 1. The k-th element of a segment
// has the column T[k mod kColumnCount], an h-bit word whose bit i lies in
// row j + i (rows from m on are dropped). Message bit j is the XOR of row j
// over the elements whose parity is 1. Bits are passed as bytes 0 or 1.
class TrellisCode {
public:
    // T: kSearchedColumns first; from kSearchedColumnCount on, byte i of the
    // column-table keystream, masked to h bits, with bit 0 and bit h - 1 set.
    static const std::array<uint8_t, kColumnCount>& Columns();

    // The m = message.size() bits the parities carry.
    // REQUIRES: parities.size() >= message.size().
    static void Extract(std::span<const uint8_t> parities, std::span<uint8_t> message);

    // Fills stego with parities that carry message and differ from cover at
    // the least total cost (the sum of costs[t] where they differ), found by
    // the Viterbi algorithm. False when the memory cannot be had.
    // REQUIRES: cover, costs and stego of one size n >= message.size();
    // costs finite and not negative.
    static bool Embed(std::span<const uint8_t> cover, std::span<const float> costs, std::span<const uint8_t> message,
        std::span<uint8_t> stego);

    // The first element of segment j of n elements carrying m bits.
    static uint64_t SegmentStart(uint64_t j, uint64_t n, uint64_t m) { return j * n / m; }
};

} // namespace lumaquill::stealth
