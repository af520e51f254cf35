#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaquill {

// Upper-case hexadecimal, the form digests are quoted in.
inline std::string DigestHex(const uint8_t* bytes, size_t length)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

template <typename Bytes> std::string DigestHex(const Bytes& bytes)
{
    return DigestHex(bytes.data(), bytes.size());
}

} // namespace lumaquill
