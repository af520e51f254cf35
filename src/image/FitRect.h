#pragma once

#include <cstdint>

namespace lumaquill {

// Left, top, right, bottom; y grows downwards.
struct Rect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const Rect&) const = default;
};

// Places a pw x ph picture inside the area without changing its aspect
// ratio; the result is relative to the area's own top-left corner.
Rect FitRect(const Rect& area, int32_t pw, int32_t ph);

} // namespace lumaquill
