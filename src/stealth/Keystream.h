#pragma once

#include "stealth/StealthFormat.h"

#include <array>
#include <cstdint>
#include <sodium.h>
#include <span>

namespace lumaquill::stealth {

// Keyed BLAKE2b in counter mode: block c is BLAKE2b-512(key, LE64(c)), and
// the stream is blocks 0, 1, 2, ... read from the start. Words are read as
// little-endian uint32 from consecutive 4-byte groups.
class Keystream {
public:
    // REQUIRES: key holds kKeystreamKeyBytes bytes.
    explicit Keystream(std::span<const uint8_t> key);
    ~Keystream();

    Keystream(const Keystream&) = delete;
    Keystream& operator=(const Keystream&) = delete;

    uint8_t NextByte();
    uint32_t NextWord();
    // A uniform draw from 0 to bound - 1: (r x bound) >> 32 with r the next
    // word; one word per draw, never rejected.
    uint32_t Below(uint32_t bound);

private:
    void Refill();

    // The state after absorbing the key block, copied for every block.
    crypto_generichash_state Keyed;
    std::array<uint8_t, kKeystreamBlockBytes> Block = {};
    uint64_t Counter = 0;
    size_t Used = kKeystreamBlockBytes;
};

} // namespace lumaquill::stealth
