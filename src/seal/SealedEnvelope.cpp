#include "seal/SealedEnvelope.h"

#include "seal/SealedKey.h"
#include "seal/Sodium.h"

#include <algorithm>
#include <new>
#include <sodium.h>

namespace lumaquill {

namespace {

static_assert(seal::kNonceBytes == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(seal::kMacBytes == crypto_aead_xchacha20poly1305_ietf_ABYTES);
static_assert(seal::kKeyBytes == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);

constexpr size_t kSaltOffset = seal::kTag.size();
constexpr size_t kNonceOffset = kSaltOffset + seal::kSaltBytes;

void Encrypt(std::vector<uint8_t>& envelope, std::span<const uint8_t> plaintext, const SecretBytes& key,
    const SealedEnvelope::Nonce& nonce)
{
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(envelope.data() + seal::kHeaderBytes, &written, plaintext.data(),
        plaintext.size(), seal::kTag.data(), seal::kTag.size(), nullptr, nonce.data(), key.data());
    envelope.resize(seal::kHeaderBytes + written);
}

} // namespace

bool SealedEnvelope::IsEnvelope(std::span<const uint8_t> bytes)
{
    return bytes.size() >= seal::kTag.size() && std::equal(seal::kTag.begin(), seal::kTag.end(), bytes.begin());
}

std::optional<std::vector<uint8_t>> SealedEnvelope::Seal(
    std::span<const uint8_t> plaintext, std::span<const uint8_t> keyText)
{
    if (!SodiumReady())
        return std::nullopt;
    Salt salt;
    Nonce nonce;
    randombytes_buf(salt.data(), salt.size());
    randombytes_buf(nonce.data(), nonce.size());
    return SealWith(plaintext, keyText, salt, nonce);
}

std::optional<std::vector<uint8_t>> SealedEnvelope::SealWith(
    std::span<const uint8_t> plaintext, std::span<const uint8_t> keyText, const Salt& salt, const Nonce& nonce)
{
    const std::optional<SecretBytes> key = SealedKey::Derive(keyText, salt);
    if (!key)
        return std::nullopt;
    std::vector<uint8_t> envelope;
    try {
        envelope.resize(seal::kOverheadBytes + plaintext.size());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    std::copy(seal::kTag.begin(), seal::kTag.end(), envelope.begin());
    std::copy(salt.begin(), salt.end(), envelope.begin() + kSaltOffset);
    std::copy(nonce.begin(), nonce.end(), envelope.begin() + kNonceOffset);
    Encrypt(envelope, plaintext, *key, nonce);
    return envelope;
}

std::optional<SecretBytes> SealedEnvelope::Open(std::span<const uint8_t> envelope, std::span<const uint8_t> keyText)
{
    if (!IsEnvelope(envelope) || envelope.size() < seal::kOverheadBytes)
        return std::nullopt;
    Salt salt;
    std::copy_n(envelope.begin() + kSaltOffset, salt.size(), salt.begin());
    const std::optional<SecretBytes> key = SealedKey::Derive(keyText, salt);
    if (!key)
        return std::nullopt;
    const std::span<const uint8_t> sealed = envelope.subspan(seal::kHeaderBytes);
    SecretBytes plaintext(sealed.size() - seal::kMacBytes);
    unsigned long long opened = 0;
    // The output needs one byte even for an empty plaintext.
    uint8_t none = 0;
    uint8_t* out = plaintext.empty() ? &none : plaintext.data();
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(out, &opened, nullptr, sealed.data(), sealed.size(),
            seal::kTag.data(), seal::kTag.size(), envelope.data() + kNonceOffset, key->data())
        != 0)
        return std::nullopt;
    return plaintext;
}

} // namespace lumaquill
