#pragma once

#include <array>
#include <cstdint>

namespace lumaquill {

using Sha1Bytes = std::array<uint8_t, 20>;
using Md5Bytes = std::array<uint8_t, 16>;

} // namespace lumaquill
