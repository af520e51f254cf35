#include "image/FitRect.h"

namespace lumaquill {

Rect FitRect(const Rect& area, int32_t pw, int32_t ph)
{
    const int32_t w = area.Width();
    const int32_t h = area.Height();
    const double pictureAspect = static_cast<double>(pw) / ph;
    const double areaAspect = static_cast<double>(w) / h;
    if (pictureAspect > areaAspect) {
        const auto fitted = static_cast<int32_t>(ph * (static_cast<double>(w) / pw));
        const int32_t top = (h - fitted) / 2;
        return { 0, top, w, top + fitted };
    }
    if (pictureAspect < areaAspect) {
        const auto fitted = static_cast<int32_t>(pw * (static_cast<double>(h) / ph));
        const int32_t left = (w - fitted) / 2;
        return { left, 0, left + fitted, h };
    }
    return { 0, 0, w, h };
}

} // namespace lumaquill
