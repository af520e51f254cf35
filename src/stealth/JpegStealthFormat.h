#pragma once

#include <cstdint>

namespace lumaquill::stealth {

// The stored format of stealth JPEGs: the stealth format (StealthFormat.h)
// over the quantised DCT coefficients of an 8-bit JPEG instead of samples
// (doc/stealth-format.md says it whole).
//
// Elements: every coefficient of every block the file codes, DC and zero
// coefficients included: component by component in frame order, a
// component's blocks row by row from the top and left to right, the 64
// coefficients of a block in natural (row-major) order, not zig-zag. Each
// carries the parity (lowest bit, two's complement) of its value. The
// element count N is 64 x the blocks of all components.
//
// Sizes: the rates count bits per non-zero AC coefficient of the cover.
// Open takes any length whose bits fit the payload elements: embedding
// changes the non-zero count, so the reader cannot count the cover's.
//
// Additional data: as for stealth images, with W and H the frame's size
// as stored (before any EXIF orientation).

// Every change keeps a coefficient within what 8-bit baseline Huffman
// coding can code: an AC value in at most 10 bits of magnitude, and a DC
// value whose difference from any other DC value fits 11 bits.
constexpr int32_t kMinAc = -1023;
constexpr int32_t kMaxAc = 1023;
constexpr int32_t kMinDc = -1024;
constexpr int32_t kMaxDc = 1023;

} // namespace lumaquill::stealth
