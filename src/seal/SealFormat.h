#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumaquill::seal {

// A sealed payload is, before it is compressed and stored like any other:
//   tag "LQSEAL01" (8) || salt S (16) || nonce N (24) ||
//   XChaCha20-Poly1305-IETF(key K, nonce N, additional data = the tag,
//                           plaintext = the zlib stream of the content)
// with K = Argon2id(T, S) and T the key text as typed. The stored format
// itself is keyed with T' (see SealedKey), never with T.

// Opens every envelope; also its additional data.
constexpr std::array<uint8_t, 8> kTag = { 'L', 'Q', 'S', 'E', 'A', 'L', '0', '1' };
constexpr size_t kSaltBytes = 16;
constexpr size_t kNonceBytes = 24;
// The Poly1305 tag that follows the ciphertext.
constexpr size_t kMacBytes = 16;
constexpr size_t kHeaderBytes = kTag.size() + kSaltBytes + kNonceBytes;
// What an envelope adds to its plaintext: 64 bytes.
constexpr size_t kOverheadBytes = kHeaderBytes + kMacBytes;
// Every Argon2id of the construction: Argon2id v1.3, 3 passes, 64 MiB,
// one lane, 32 bytes out.
constexpr size_t kKeyBytes = 32;
constexpr unsigned long long kOpsLimit = 3;
constexpr size_t kMemLimit = size_t { 64 } * 1024 * 1024;
// The salt S0 of the stored-format key is the first 16 bytes of the
// SHA-256 of this ASCII text.
constexpr std::string_view kStoredKeySaltText = "Lumaquill sealed image key";
// T' is the stored-format key's 32 bytes as lowercase hexadecimal digits.
constexpr size_t kStoredKeyTextBytes = 2 * kKeyBytes;

} // namespace lumaquill::seal
