#pragma once

#include "seal/SealFormat.h"
#include "seal/SecretBytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace lumaquill {

// The memory-hard keys of a sealed image, both Argon2id of the key text T
// as typed: the envelope key K (salt from the envelope) and the text T'
// that keys the stored format in place of T.
class SealedKey {
public:
    using Salt = std::array<uint8_t, seal::kSaltBytes>;

    // Argon2id(keyText, salt), 32 bytes; nothing when libsodium cannot run
    // or the memory cannot be had.
    static std::optional<SecretBytes> Derive(std::span<const uint8_t> keyText, const Salt& salt);
    // T': the 64 lowercase hexadecimal digits of Argon2id(T, S0). Costs one
    // Argon2id (about half a second).
    static std::optional<SecretBytes> StoredKeyText(std::span<const uint8_t> keyText);
    // S0: the first 16 bytes of SHA-256 of kStoredKeySaltText.
    static Salt StoredKeySalt();
};

} // namespace lumaquill
