#pragma once

#include <QString>
#include <cstdint>

namespace lumaquill {

// What each strengthening speed costs on this computer: the time of a few
// Very Fast strengthenings of a scratch key, measured once per run of the
// program and scaled by each setting's number of passes.
class SpeedCost {
public:
    // "Takes about 8 seconds on this computer.", said of the speed chosen.
    static QString Text(int32_t speed);
    // The time in seconds for a number of passes at the measured rate.
    static double Seconds(uint32_t passes);
    // The cost as words: "less than a second", "about 8 seconds", "about 2
    // minutes".
    static QString Words(double seconds);
};

} // namespace lumaquill
