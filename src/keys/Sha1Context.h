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
    // The same as Update on the 4 × count bytes whose big-endian words these
    // are. REQUIRES: the bytes so far are a multiple of 4, so every word
    // fills one whole group of the buffer.
    void UpdateGroups(const uint32_t* words, size_t count);
    void Final(uint8_t out[20]);
    // Final giving the digest as its five big-endian words.
    void FinalWords(uint32_t out[5]);

private:
    static constexpr size_t kGroups = 16;

    void AddToCount(size_t bytes);
    size_t BufferedBytes() const { return (CountLow >> 3) % (4 * kGroups); }
    void PutByte(size_t position, uint8_t value);
    // Compresses the buffer and leaves every group's bytes reversed. In
    // Final the last two groups hold the count words placed little-endian,
    // which the compression reads as the words themselves; they too end up
    // as the byte swap of what was read.
    void Compress();

    uint32_t H[5] = {};
    uint32_t CountLow = 0;
    uint32_t CountHigh = 0;
    // The 64-byte buffer as its sixteen four-byte groups, each held as the
    // big-endian word a compression reads from it. Leaving a group's bytes
    // reversed is then a byte swap of its word.
    uint32_t Groups[kGroups] = {};
};

// The standard SHA-1 of a byte string, through a fresh context.
Sha1Bytes Sha1(const uint8_t* data, size_t length);
Sha1Bytes Sha1(std::string_view text);

} // namespace lumaquill
