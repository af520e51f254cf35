#pragma once

#include "keys/Digests.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumaquill {

// The standard MD5 (RFC 1321) of a byte string; every call starts fresh.
Md5Bytes Md5Digest(const uint8_t* data, size_t length);
Md5Bytes Md5Digest(std::string_view text);

} // namespace lumaquill
