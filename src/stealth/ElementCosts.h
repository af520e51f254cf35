#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumaquill::stealth {

// The cost of changing each element by 1, in element order: as floats, or
// as their upper 16 bits (bfloat16) where the element count makes 4 bytes
// an element too many (the samples of a picture: HillCost). Exactly one of
// the two is filled.
class ElementCosts {
public:
    std::vector<float>& Floats() { return Full; }
    std::vector<uint16_t>& Halves() { return Half; }

    // The costs of elements, in their order.
    void Gather(std::span<const uint32_t> elements, std::span<float> out) const;

private:
    std::vector<float> Full;
    std::vector<uint16_t> Half;
};

} // namespace lumaquill::stealth
