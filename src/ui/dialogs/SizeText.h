#pragma once

#include <QString>
#include <cstdint>

namespace lumaquill {

// A byte count as a person reads it, in decimal units: "640 bytes",
// "9.5 KB", "956 KB", "2.1 MB", "1.2 GB". One decimal below ten units,
// whole units above.
class SizeText {
public:
    static QString Of(uint64_t bytes);
};

} // namespace lumaquill
