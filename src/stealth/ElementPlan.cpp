#include "stealth/ElementPlan.h"

#include "stealth/StealthFormat.h"

#include <algorithm>

namespace lumaquill::stealth {

std::optional<ElementPlan> ElementPlan::For(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return std::nullopt;
    const uint64_t pixels = uint64_t(width) * uint64_t(height);
    return ForElements(3 * pixels, pixels);
}

std::optional<ElementPlan> ElementPlan::ForElements(uint64_t elements, uint64_t rateBase)
{
    ElementPlan plan;
    plan.Elements = elements;
    if (plan.Elements > kMaxElements)
        return std::nullopt;
    plan.Spread = static_cast<uint32_t>(std::min<uint64_t>(kMaxSpread, plan.Elements / kSpreadDivisor));
    if (plan.Spread < kMinSpread)
        return std::nullopt;
    plan.SaltElements = static_cast<uint32_t>(8 * kSaltBytes) * plan.Spread;
    plan.LengthElements = static_cast<uint32_t>(8 * kLengthBytes) * plan.Spread;
    plan.PayloadElements = plan.Elements - plan.SaltElements - plan.LengthElements;
    plan.SafeBits = std::min(plan.PayloadElements, rateBase * kSafeBitsNumerator / kSafeBitsDenominator);
    plan.LargestBits = std::min(plan.PayloadElements, rateBase * kLargestBitsNumerator / kLargestBitsDenominator);
    return plan;
}

} // namespace lumaquill::stealth
