#pragma once

#include <cstdint>

namespace lumaquill {

// The strengthening speeds offered to the user, as stored in bits 3-5 of the
// ModeByte. The index in the speed list is the setting.
enum SpeedSetting : int32_t {
    SpeedVeryFast = 0,
    SpeedFast = 1,
    SpeedNormal = 2,
    SpeedSlow = 3,
    SpeedVerySlow = 4,
};

// Hashing passes for a setting: 1000, 100000, 500000, 1000000, 10000000 for
// 0..4, and 0 for any other value (possible when decoding).
uint32_t PassesForSpeed(int32_t speed);

} // namespace lumaquill
