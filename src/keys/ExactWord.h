#pragma once

#include <bit>
#include <cstdint>

namespace lumaquill {

// Exact word-to-double conversions built from bit patterns. Each gives the
// same double as the plain conversion; the integer form lets loops over
// many words run in vector registers, where no unsigned 32-bit conversion
// instruction exists.

// static_cast<double>(y): 2^52 + y is exactly representable, and taking
// 2^52 away again is exact.
inline double WordAsDouble(uint32_t y)
{
    return std::bit_cast<double>(0x4330000000000000u | y) - 0x1p52;
}

// y * 2^-32: the bits of 1 + y * 2^-32, minus 1.0, which is exact.
inline double WordTimesTwoToMinus32(uint32_t y)
{
    return std::bit_cast<double>(0x3FF0000000000000u | (static_cast<uint64_t>(y) << 20)) - 1.0;
}

} // namespace lumaquill
