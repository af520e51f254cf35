#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace lumaquill::stealth {

// Every code carries bytes as bits, least significant bit first: bit k of
// the message is bit k mod 8 of byte k / 8.
class MessageBits {
public:
    static std::vector<uint8_t> FromBytes(std::span<const uint8_t> bytes)
    {
        std::vector<uint8_t> bits(8 * bytes.size());
        for (size_t k = 0; k < bits.size(); ++k)
            bits[k] = static_cast<uint8_t>((bytes[k / 8] >> (k % 8)) & 1u);
        return bits;
    }

    // REQUIRES: bytes.size() == bits.size() / 8.
    static void ToBytes(std::span<const uint8_t> bits, std::span<uint8_t> bytes)
    {
        std::fill(bytes.begin(), bytes.end(), uint8_t { 0 });
        for (size_t k = 0; k < bits.size(); ++k)
            bytes[k / 8] = static_cast<uint8_t>(bytes[k / 8] | ((bits[k] & 1u) << (k % 8)));
    }
};

} // namespace lumaquill::stealth
