#include "stealth/StealthEnvelope.h"

#include "core/ByteOrder.h"
#include "stealth/StealthFormat.h"

#include <algorithm>
#include <cassert>
#include <new>
#include <sodium.h>

namespace lumaquill::stealth {

namespace {

static_assert(kNonceBytes == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(kMacBytes == crypto_aead_xchacha20poly1305_ietf_ABYTES);
static_assert(kSubkeyBytes == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);

std::vector<uint8_t> AdditionalData(int32_t width, int32_t height)
{
    std::vector<uint8_t> data(kAdditionalDataText.begin(), kAdditionalDataText.end());
    data.resize(data.size() + 8);
    Store32Le(data.data() + kAdditionalDataText.size(), uint32_t(width));
    Store32Le(data.data() + kAdditionalDataText.size() + 4, uint32_t(height));
    return data;
}

std::optional<SecretBytes> Plaintext(std::string_view name, std::span<const uint8_t> content)
{
    assert(name.size() <= kMaxNameBytes);
    try {
        SecretBytes plain(kNameLengthBytes + name.size() + content.size());
        plain.data()[0] = static_cast<uint8_t>(name.size());
        std::copy(name.begin(), name.end(), plain.data() + kNameLengthBytes);
        std::copy(content.begin(), content.end(), plain.data() + kNameLengthBytes + name.size());
        return plain;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<StealthEnvelope::Opened> Parse(const SecretBytes& plain)
{
    if (plain.size() < kNameLengthBytes)
        return std::nullopt;
    const size_t nameBytes = plain.data()[0];
    if (nameBytes > kMaxNameBytes || nameBytes > plain.size() - kNameLengthBytes)
        return std::nullopt;
    const uint8_t* name = plain.data() + kNameLengthBytes;
    StealthEnvelope::Opened opened;
    try {
        opened.StoredName.assign(reinterpret_cast<const char*>(name), nameBytes);
        opened.Content.assign(name + nameBytes, plain.data() + plain.size());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return opened;
}

} // namespace

std::optional<std::vector<uint8_t>> StealthEnvelope::Seal(
    const StealthKeys& keys, int32_t width, int32_t height, std::string_view name, std::span<const uint8_t> content)
{
    const std::optional<SecretBytes> plain = Plaintext(name, content);
    if (!plain)
        return std::nullopt;
    const std::vector<uint8_t> additional = AdditionalData(width, height);
    std::vector<uint8_t> envelope;
    try {
        envelope.resize(plain->size() + kMacBytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(envelope.data(), &written, plain->data(), plain->size(),
        additional.data(), additional.size(), nullptr, keys.Nonce().data(), keys.Envelope().data());
    assert(written == envelope.size());
    return envelope;
}

std::optional<StealthEnvelope::Opened> StealthEnvelope::Open(
    const StealthKeys& keys, int32_t width, int32_t height, std::span<const uint8_t> envelope)
{
    if (envelope.size() < kEnvelopeOverhead)
        return std::nullopt;
    const std::vector<uint8_t> additional = AdditionalData(width, height);
    std::optional<SecretBytes> plain;
    try {
        plain.emplace(envelope.size() - kMacBytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    unsigned long long opened = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain->data(), &opened, nullptr, envelope.data(), envelope.size(),
            additional.data(), additional.size(), keys.Nonce().data(), keys.Envelope().data())
        != 0)
        return std::nullopt;
    return Parse(*plain);
}

} // namespace lumaquill::stealth
