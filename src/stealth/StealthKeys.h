#pragma once

#include "seal/SecretBytes.h"
#include "stealth/StealthFormat.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace lumaquill::stealth {

// The keys of one stealth image. The master key is Argon2id (the sealed
// images' parameters: v1.3, 3 passes, 64 MiB, 32 bytes) of the password and
// the image's salt; every other key is keyed BLAKE2b of it over a label.
class StealthKeys {
public:
    using Salt = std::array<uint8_t, kSaltBytes>;

    // Nothing when libsodium cannot run or the memory cannot be had.
    static std::optional<StealthKeys> Derive(std::span<const uint8_t> password, const Salt& salt);
    // The same from a master key given (known-answer tests).
    static StealthKeys FromMaster(SecretBytes master);

    // Keys the shuffle of the elements after the salt elements.
    const SecretBytes& Order() const { return OrderKey; }
    // The first 4 bytes, little-endian, mask the envelope length.
    uint32_t LengthMask() const;
    const SecretBytes& Envelope() const { return EnvelopeKey; }
    const SecretBytes& Nonce() const { return EnvelopeNonce; }

    // BLAKE2b with size bytes out, keyed with key, over the ASCII label.
    static SecretBytes Subkey(const SecretBytes& key, std::string_view label, size_t size);
    // Unkeyed BLAKE2b-256 of the ASCII label: the keys of the public streams.
    static std::array<uint8_t, kKeystreamKeyBytes> PublicKey(std::string_view label);

private:
    SecretBytes OrderKey;
    SecretBytes LengthKey;
    SecretBytes EnvelopeKey;
    SecretBytes EnvelopeNonce;
};

} // namespace lumaquill::stealth
