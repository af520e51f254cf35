#pragma once

#include "stealth/ElementCosts.h"
#include "stealth/ElementParities.h"

#include <cstdint>
#include <span>

namespace lumaquill::stealth {

// The elements a stealth format hides in, whatever they are (the samples of
// a picture, the coefficients of a JPEG): StealthRun embeds and reads the
// salt, the length and the envelope through this alone.
class StealthCarrier {
public:
    virtual ~StealthCarrier() = default;

    // The size bound into the envelope's additional data.
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    // Every element's parity; false when the memory cannot be had.
    virtual bool ReadParities(ElementParities& parities) const = 0;
    // Every element's cost of a change by 1; false when the memory cannot
    // be had.
    virtual bool ComputeCosts(ElementCosts& costs) const = 0;
    // Changes each element by 1, in the order given: the only change the
    // run makes.
    virtual void ApplyChanges(std::span<const uint32_t> changed) = 0;
};

} // namespace lumaquill::stealth
