#pragma once

#include "seal/SealFormat.h"
#include "seal/SecretBytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumaquill {

// The authenticated envelope a sealed image carries as its payload (layout
// in SealFormat.h). Each Seal and Open costs one Argon2id.
class SealedEnvelope {
public:
    using Salt = std::array<uint8_t, seal::kSaltBytes>;
    using Nonce = std::array<uint8_t, seal::kNonceBytes>;

    // Whether a decompressed payload is an envelope: it begins with the tag.
    static bool IsEnvelope(std::span<const uint8_t> bytes);

    // The envelope of plaintext under keyText, with a fresh random salt and
    // nonce; nothing when libsodium cannot run or memory is short.
    static std::optional<std::vector<uint8_t>> Seal(
        std::span<const uint8_t> plaintext, std::span<const uint8_t> keyText);
    // The same with the salt and nonce given (known-answer tests).
    static std::optional<std::vector<uint8_t>> SealWith(
        std::span<const uint8_t> plaintext, std::span<const uint8_t> keyText, const Salt& salt, const Nonce& nonce);

    // The plaintext; nothing when the envelope is cut short, or does not
    // authenticate under keyText (a wrong key or a changed byte).
    static std::optional<SecretBytes> Open(std::span<const uint8_t> envelope, std::span<const uint8_t> keyText);
};

} // namespace lumaquill
