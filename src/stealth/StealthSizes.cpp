#include "stealth/StealthSizes.h"

namespace lumaquill::stealth {

StealthSizes SizesFor(int32_t width, int32_t height)
{
    (void)width;
    (void)height;
    return {};
}

} // namespace lumaquill::stealth
