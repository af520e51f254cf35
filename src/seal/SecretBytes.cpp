#include "seal/SecretBytes.h"

#include <algorithm>
#include <sodium.h>
#include <utility>

namespace lumaquill {

SecretBytes::SecretBytes(size_t size)
    : Bytes(size ? std::make_unique<uint8_t[]>(size) : nullptr)
    , Size(size)
{
}

SecretBytes::SecretBytes(std::string_view text)
    : SecretBytes(text.size())
{
    std::copy(text.begin(), text.end(), Bytes.get());
}

SecretBytes::SecretBytes(std::span<const uint8_t> bytes)
    : SecretBytes(bytes.size())
{
    std::copy(bytes.begin(), bytes.end(), Bytes.get());
}

SecretBytes::~SecretBytes()
{
    Clear();
}

SecretBytes::SecretBytes(const SecretBytes& other)
    : SecretBytes(other.Span())
{
}

SecretBytes& SecretBytes::operator=(const SecretBytes& other)
{
    if (this != &other)
        *this = SecretBytes(other.Span());
    return *this;
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : Bytes(std::move(other.Bytes))
    , Size(std::exchange(other.Size, 0))
{
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept
{
    if (this != &other) {
        Clear();
        Bytes = std::move(other.Bytes);
        Size = std::exchange(other.Size, 0);
    }
    return *this;
}

void SecretBytes::Clear()
{
    if (Bytes)
        sodium_memzero(Bytes.get(), Size);
    Bytes.reset();
    Size = 0;
}

} // namespace lumaquill
