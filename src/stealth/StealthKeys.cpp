#include "stealth/StealthKeys.h"

#include "core/ByteOrder.h"
#include "seal/SealedKey.h"

#include <sodium.h>

namespace lumaquill::stealth {

static_assert(kSaltBytes == seal::kSaltBytes);

std::optional<StealthKeys> StealthKeys::Derive(std::span<const uint8_t> password, const Salt& salt)
{
    std::optional<SecretBytes> master = SealedKey::Derive(password, salt);
    if (!master)
        return std::nullopt;
    return FromMaster(std::move(*master));
}

StealthKeys StealthKeys::FromMaster(SecretBytes master)
{
    StealthKeys keys;
    keys.OrderKey = Subkey(master, kOrderKeyLabel, kSubkeyBytes);
    keys.LengthKey = Subkey(master, kLengthKeyLabel, kSubkeyBytes);
    keys.EnvelopeKey = Subkey(master, kEnvelopeKeyLabel, kSubkeyBytes);
    keys.EnvelopeNonce = Subkey(master, kEnvelopeNonceLabel, kNonceBytes);
    return keys;
}

uint32_t StealthKeys::LengthMask() const
{
    return Load32Le(LengthKey.data());
}

SecretBytes StealthKeys::Subkey(const SecretBytes& key, std::string_view label, size_t size)
{
    SecretBytes out(size);
    crypto_generichash(
        out.data(), out.size(), reinterpret_cast<const uint8_t*>(label.data()), label.size(), key.data(), key.size());
    return out;
}

std::array<uint8_t, kKeystreamKeyBytes> StealthKeys::PublicKey(std::string_view label)
{
    std::array<uint8_t, kKeystreamKeyBytes> out;
    crypto_generichash(
        out.data(), out.size(), reinterpret_cast<const uint8_t*>(label.data()), label.size(), nullptr, 0);
    return out;
}

} // namespace lumaquill::stealth
