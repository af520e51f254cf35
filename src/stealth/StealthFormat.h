#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumaquill::stealth {

// The stored format of stealth images (doc/stealth-format.md says it whole).
//
// Elements: sample c (0 R, 1 G, 2 B) of pixel (x, y), y = 0 the top row, is
// element e = 3 (y W + x) + c of the N = 3 W H elements. Each carries one
// bit, the parity (lowest bit) of its sample. A public partial shuffle picks
// the salt elements; a keyed shuffle of the rest gives the length elements,
// then the payload elements. Each of the three carries its message through
// a syndrome-trellis code.

// Every salt is 16 random bytes, embedded as 128 bits.
constexpr size_t kSaltBytes = 16;
// The envelope length is a little-endian uint32 XOR the length mask: 32 bits.
constexpr size_t kLengthBytes = 4;
// Salt and length take spread elements per embedded bit, where
// spread = min(kMaxSpread, floor(N / kSpreadDivisor)).
constexpr uint32_t kMaxSpread = 64;
// 640 = 4 x 160 bits: salt and length never take more than a quarter of N.
constexpr uint64_t kSpreadDivisor = 4 * 8 * (kSaltBytes + kLengthBytes);
// A picture with a smaller spread is too small for the format.
constexpr uint32_t kMinSpread = 8;
// At most 2^31 elements, so every element number is a uint32.
constexpr uint64_t kMaxElements = uint64_t { 1 } << 31;

// Syndrome-trellis codes: constraint height h, so 2^h trellis states.
constexpr int kConstraintHeight = 7;
constexpr uint32_t kStates = 1u << kConstraintHeight;
// The columns of every code come from a table of this many h-bit words.
constexpr uint32_t kColumnCount = 256;
// The first columns of the table, each chosen in turn (all 32 words with
// bits 0 and h - 1 set tried) for the least changes at one bit per k + 1
// elements; the rest come from the column-table keystream.
constexpr uint32_t kSearchedColumnCount = 64;
constexpr uint8_t kSearchedColumns[kSearchedColumnCount] = { 0x5d, 0x7b, 0x59, 0x63, 0x51, 0x4f, 0x47, 0x7f, 0x65, 0x4b,
    0x6d, 0x75, 0x71, 0x5f, 0x69, 0x43, 0x67, 0x6f, 0x4d, 0x53, 0x4d, 0x77, 0x57, 0x53, 0x6f, 0x5b, 0x7f, 0x51, 0x45,
    0x6d, 0x49, 0x57, 0x7d, 0x7f, 0x61, 0x4d, 0x6f, 0x6d, 0x45, 0x41, 0x6b, 0x57, 0x5f, 0x41, 0x65, 0x79, 0x53, 0x45,
    0x57, 0x4b, 0x45, 0x51, 0x5f, 0x6d, 0x79, 0x57, 0x59, 0x45, 0x55, 0x75, 0x6b, 0x59, 0x63, 0x65 };
// Payload elements are coded in blocks of at most this many elements.
constexpr uint64_t kMaxBlockElements = uint64_t { 1 } << 20;

// Keystreams: block c is BLAKE2b-512 keyed with a 32-byte key over the
// 8-byte little-endian counter c; the stream is blocks 0, 1, 2, ...
constexpr size_t kKeystreamBlockBytes = 64;
constexpr size_t kKeystreamKeyBytes = 32;
// The public keys are unkeyed BLAKE2b-256 of these ASCII texts.
constexpr std::string_view kPublicOrderLabel = "Lumaquill stealth public order";
constexpr std::string_view kColumnTableLabel = "Lumaquill stealth columns";
// Subkeys are BLAKE2b (keyed with the master key) of these ASCII texts:
// 32 bytes each, the nonce 24.
constexpr std::string_view kOrderKeyLabel = "Lumaquill stealth order";
constexpr std::string_view kLengthKeyLabel = "Lumaquill stealth length";
constexpr std::string_view kEnvelopeKeyLabel = "Lumaquill stealth envelope key";
constexpr std::string_view kEnvelopeNonceLabel = "Lumaquill stealth envelope nonce";
constexpr size_t kSubkeyBytes = 32;
constexpr size_t kNonceBytes = 24;
// The additional data: this ASCII text, then W and H as little-endian uint32.
constexpr std::string_view kAdditionalDataText = "Lumaquill stealth 1";

// Envelope plaintext: name length n (1 byte), n name bytes, the zlib stream.
constexpr size_t kNameLengthBytes = 1;
// The stored name holds at most 50 bytes, as in classic images.
constexpr size_t kMaxNameBytes = 50;
// The Poly1305 tag after the ciphertext.
constexpr size_t kMacBytes = 16;
// Envelope bytes E = kEnvelopeOverhead + n + zlib stream bytes.
constexpr size_t kEnvelopeOverhead = kMacBytes + kNameLengthBytes;

// The payload carries at most floor(W H / 20) bits at the safe size and
// floor(2 W H / 5) at the largest; Open refuses a length beyond the largest.
constexpr uint64_t kSafeBitsNumerator = 1;
constexpr uint64_t kSafeBitsDenominator = 20;
constexpr uint64_t kLargestBitsNumerator = 2;
constexpr uint64_t kLargestBitsDenominator = 5;

} // namespace lumaquill::stealth
