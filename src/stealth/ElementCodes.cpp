#include "stealth/ElementCodes.h"

#include "stealth/PayloadBlocks.h"
#include "stealth/TrellisCode.h"

#include <new>

namespace lumaquill::stealth {

namespace {

bool EmbedBlock(std::span<const uint32_t> elements, const ElementParities& parities, const ElementCosts& costs,
    std::span<const uint8_t> bits, std::vector<uint32_t>& changed)
{
    std::vector<uint8_t> cover;
    std::vector<uint8_t> stego;
    std::vector<float> elementCosts;
    try {
        cover.resize(elements.size());
        stego.resize(elements.size());
        elementCosts.resize(elements.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    parities.Gather(elements, cover);
    costs.Gather(elements, elementCosts);
    if (!TrellisCode::Embed(cover, elementCosts, bits, stego))
        return false;
    try {
        for (size_t t = 0; t < elements.size(); ++t) {
            if (cover[t] != stego[t])
                changed.push_back(elements[t]);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ExtractBlock(std::span<const uint32_t> elements, const ElementParities& parities, std::span<uint8_t> bits)
{
    std::vector<uint8_t> cover;
    try {
        cover.resize(elements.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    parities.Gather(elements, cover);
    TrellisCode::Extract(cover, bits);
    return true;
}

} // namespace

ElementCodes::Parts ElementCodes::Split(std::span<const uint32_t> order, const ElementPlan& plan)
{
    return { order.first(plan.SaltElements), order.subspan(plan.SaltElements, plan.LengthElements),
        order.subspan(plan.SaltElements + plan.LengthElements) };
}

bool ElementCodes::Embed(std::span<const uint32_t> elements, const ElementParities& parities, const ElementCosts& costs,
    std::span<const uint8_t> bits, std::vector<uint32_t>& changed, const BlockDone& done)
{
    const uint64_t blocks = PayloadBlocks::Count(elements.size());
    for (uint64_t b = 0; b < blocks; ++b) {
        if (!EmbedBlock(PayloadBlocks::Share(elements, b, blocks), parities, costs,
                PayloadBlocks::Share(bits, b, blocks), changed))
            return false;
        if (done)
            done(b + 1, blocks);
    }
    return true;
}

bool ElementCodes::Extract(std::span<const uint32_t> elements, const ElementParities& parities, std::span<uint8_t> bits)
{
    const uint64_t blocks = PayloadBlocks::Count(elements.size());
    for (uint64_t b = 0; b < blocks; ++b) {
        if (!ExtractBlock(PayloadBlocks::Share(elements, b, blocks), parities, PayloadBlocks::Share(bits, b, blocks)))
            return false;
    }
    return true;
}

} // namespace lumaquill::stealth
