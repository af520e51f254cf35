#include "stealth/ElementCosts.h"

#include "stealth/HillCost.h"

namespace lumaquill::stealth {

namespace {

float AsFloat(float cost)
{
    return cost;
}

// Costs lie in element order; fetching them ahead hides most of the wait
// for the random reads.
template <typename Cost, typename Expand>
void GatherAhead(
    std::span<const uint32_t> elements, const std::vector<Cost>& costs, std::span<float> out, Expand expand)
{
    constexpr size_t kAhead = 32;
    for (size_t t = 0; t < elements.size(); ++t) {
        if (t + kAhead < elements.size())
            __builtin_prefetch(&costs[elements[t + kAhead]]);
        out[t] = expand(costs[elements[t]]);
    }
}

} // namespace

void ElementCosts::Gather(std::span<const uint32_t> elements, std::span<float> out) const
{
    if (Half.empty())
        GatherAhead(elements, Full, out, AsFloat);
    else
        GatherAhead(elements, Half, out, HillCost::Expand);
}

} // namespace lumaquill::stealth
