#include "stealth/StealthSizes.h"

#include "stealth/ElementPlan.h"
#include "stealth/StealthFormat.h"

namespace lumaquill::stealth {

namespace {

// Content bytes of an envelope of at most bits bits.
uint64_t ContentBytes(uint64_t bits)
{
    const uint64_t envelope = bits / 8;
    return envelope > kEnvelopeOverhead ? envelope - kEnvelopeOverhead : 0;
}

} // namespace

StealthSizes SizesFor(int32_t width, int32_t height)
{
    const std::optional<ElementPlan> plan = ElementPlan::For(width, height);
    if (!plan)
        return {};
    return SizesFor(*plan);
}

StealthSizes SizesFor(const ElementPlan& plan)
{
    return { ContentBytes(plan.SafeBits), ContentBytes(plan.LargestBits) };
}

} // namespace lumaquill::stealth
