#pragma once

#include "keys/Digests.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumaquill {

// Incremental SHA-1 (FIPS 180-1) whose Final does not reset the context.
// A fresh context per digest gives the standard SHA-1. Used again after
// Final it continues the same chain, and the stored format depends on how:
// the bit count keeps counting from the first Update, and buffer bytes the
// next data does not overwrite enter the next compression in the reversed
// form that compression left them in. The password strengthening relies on
// exactly this.
class Sha1Context {
public:
    void Init();
    void Update(const uint8_t* data, size_t length);
    void Final(uint8_t out[20]);

private:
    // Compresses the 64-byte buffer, reading each group big-endian and leaving
    // the group's bytes reversed in the buffer. With lengthWords, groups 14
    // and 15 are the count words already in place and are not reversed.
    void Compress(bool lengthWords);

    uint32_t H[5] = {};
    uint32_t CountLow = 0;
    uint32_t CountHigh = 0;
    uint8_t Buffer[64] = {};
};

// The standard SHA-1 of a byte string, through a fresh context.
Sha1Bytes Sha1(const uint8_t* data, size_t length);
Sha1Bytes Sha1(std::string_view text);

} // namespace lumaquill
