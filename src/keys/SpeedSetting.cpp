#include "keys/SpeedSetting.h"

namespace lumaquill {

uint32_t PassesForSpeed(int32_t speed)
{
    static constexpr uint32_t kPasses[] = { 1000, 100000, 500000, 1000000, 10000000 };
    if (speed < SpeedVeryFast || speed > SpeedVerySlow)
        return 0;
    return kPasses[speed];
}

} // namespace lumaquill
