#include "seal/SealedKey.h"

#include "seal/Sodium.h"

#include <algorithm>
#include <sodium.h>

namespace lumaquill {

std::optional<SecretBytes> SealedKey::Derive(std::span<const uint8_t> keyText, const Salt& salt)
{
    static_assert(seal::kSaltBytes == crypto_pwhash_SALTBYTES);
    if (!SodiumReady())
        return std::nullopt;
    SecretBytes key(seal::kKeyBytes);
    const int status = crypto_pwhash(key.data(), key.size(), reinterpret_cast<const char*>(keyText.data()),
        keyText.size(), salt.data(), seal::kOpsLimit, seal::kMemLimit, crypto_pwhash_ALG_ARGON2ID13);
    if (status != 0)
        return std::nullopt;
    return key;
}

std::optional<SecretBytes> SealedKey::StoredKeyText(std::span<const uint8_t> keyText)
{
    const std::optional<SecretBytes> key = Derive(keyText, StoredKeySalt());
    if (!key)
        return std::nullopt;
    // sodium_bin2hex writes lowercase digits and a terminating zero.
    SecretBytes hex(seal::kStoredKeyTextBytes + 1);
    sodium_bin2hex(reinterpret_cast<char*>(hex.data()), hex.size(), key->data(), key->size());
    return SecretBytes(hex.Span().first(seal::kStoredKeyTextBytes));
}

SealedKey::Salt SealedKey::StoredKeySalt()
{
    std::array<uint8_t, crypto_hash_sha256_BYTES> digest = {};
    const std::string_view text = seal::kStoredKeySaltText;
    crypto_hash_sha256(digest.data(), reinterpret_cast<const uint8_t*>(text.data()), text.size());
    Salt salt = {};
    std::copy_n(digest.begin(), salt.size(), salt.begin());
    return salt;
}

} // namespace lumaquill
