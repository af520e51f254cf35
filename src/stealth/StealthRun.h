#pragma once

#include "seal/SecretBytes.h"
#include "stealth/ElementPlan.h"
#include "stealth/StealthStatus.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumaquill {
class ProgressSink;
}

namespace lumaquill::stealth {

class StealthCarrier;

// The run of a stealth format over any carrier: a fresh salt, the keys,
// the envelope, and the salt, length and payload codes over the plan's
// element order. progress may be null.
class StealthRun {
public:
    // Hides content (the zlib stream) and storedName (already cut to the
    // stored-name rules): TooLarge beyond the plan's largest size,
    // Unsuitable when memory is short; unless Done the carrier is left
    // unchanged. REQUIRES: plan made for carrier's elements.
    static StealthStatus Hide(StealthCarrier& carrier, const ElementPlan& plan, const SecretBytes& password,
        std::span<const uint8_t> content, std::string_view storedName, ProgressSink* progress);

    // Done with content and storedName filled, or NotOpened. A length
    // whose bits exceed maxEnvelopeBits is refused before the payload is
    // read. Costs one Argon2id.
    static StealthStatus Open(const StealthCarrier& carrier, const ElementPlan& plan, uint64_t maxEnvelopeBits,
        const SecretBytes& password, std::vector<uint8_t>& content, std::string& storedName, ProgressSink* progress);
};

} // namespace lumaquill::stealth
