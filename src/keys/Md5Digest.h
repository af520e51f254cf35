#pragma once

#include "keys/Digests.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumaquill {

// The standard MD5 (RFC 1321) of a byte string; every call starts fresh.
Md5Bytes Md5Digest(const uint8_t* data, size_t length);
Md5Bytes Md5Digest(std::string_view text);

// The MD5 of the 20 bytes whose big-endian words these are (a SHA-1 digest
// as Sha1Context::FinalWords gives it), returned as the big-endian words of
// the 16 digest bytes. The strengthening chain hashes one such digest per
// pass and wants words on both sides, so this skips two byte round trips.
std::array<uint32_t, 4> Md5OfSha1Words(const uint32_t sha1Words[5]);

} // namespace lumaquill
