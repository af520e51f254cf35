#pragma once

#include <cstdint>

namespace lumaquill {

// What strengthening a key costs on this computer, for the password step
// to show before a speed is chosen.
class StrengtheningCost {
public:
    // Seconds per strengthening pass, measured once per process.
    static double SecondsPerPass();
    // The passes a SpeedSetting runs.
    static uint32_t Passes(int32_t speed);
};

} // namespace lumaquill
