#include "stealth/StealthCodec.h"

#include "core/ByteOrder.h"
#include "core/ProgressSink.h"
#include "image/DibImage.h"
#include "seal/Sodium.h"
#include "stealth/ChangeDirections.h"
#include "stealth/ElementOrder.h"
#include "stealth/ElementParities.h"
#include "stealth/ElementPlan.h"
#include "stealth/ElementSamples.h"
#include "stealth/HillCost.h"
#include "stealth/Keystream.h"
#include "stealth/MessageBits.h"
#include "stealth/PayloadBlocks.h"
#include "stealth/StealthEnvelope.h"
#include "stealth/StealthFormat.h"
#include "stealth/StealthKeys.h"
#include "stealth/StealthSizes.h"
#include "stealth/TrellisCode.h"

#include <new>
#include <sodium.h>

namespace lumaquill::stealth {

namespace {

// Progress runs from 0 to kProgressEnd; the payload blocks fill the part
// from kProgressPayload on.
constexpr int32_t kProgressEnd = 100;
constexpr int32_t kProgressKeys = 10;
constexpr int32_t kProgressCosts = 20;
constexpr int32_t kProgressOrder = 35;
constexpr int32_t kProgressPayload = 40;

class Progress {
public:
    explicit Progress(ProgressSink* sink)
        : Sink(sink)
    {
        if (Sink)
            Sink->SetRange(uint32_t(kProgressEnd));
    }
    void Set(int32_t position) const
    {
        if (Sink)
            Sink->SetPos(position);
    }
    void Block(uint64_t done, uint64_t blocks) const
    {
        Set(kProgressPayload + int32_t(uint64_t(kProgressEnd - kProgressPayload) * done / blocks));
    }

private:
    ProgressSink* Sink;
};

bool Suitable(const DibImage& image)
{
    return image.IsValid() && (image.BitCount() == 24 || image.BitCount() == 32);
}

struct Carrier {
    DibImage& Image;
    // The cover's parities: the codes' element sets are disjoint, so each
    // is read before anything changes it.
    const ElementParities& Parities;
    // The elements whose parity must change, applied only once every code
    // has been embedded, so a failed run leaves the picture as it was.
    std::vector<uint32_t> Changes;
};

// Costs lie in element order; fetching them ahead hides most of the wait
// for the random reads.
void GatherCosts(std::span<const uint32_t> elements, const std::vector<uint16_t>& costs, std::span<float> out)
{
    constexpr size_t kAhead = 32;
    for (size_t t = 0; t < elements.size(); ++t) {
        if (t + kAhead < elements.size())
            __builtin_prefetch(&costs[elements[t + kAhead]]);
        out[t] = HillCost::Expand(costs[elements[t]]);
    }
}

bool NoteChanges(Carrier& carrier, std::span<const uint32_t> elements, std::span<const uint8_t> cover,
    std::span<const uint8_t> stego)
{
    try {
        for (size_t t = 0; t < elements.size(); ++t)
            if (cover[t] != stego[t])
                carrier.Changes.push_back(elements[t]);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Changes by 1 each sample whose parity must change.
void ApplyChanges(const Carrier& carrier)
{
    const ElementSamples samples(carrier.Image);
    ChangeDirections directions;
    uint8_t* rows = carrier.Image.Pixels().data();
    for (uint32_t element : carrier.Changes) {
        uint8_t& sample = rows[samples.Offset(element)];
        sample = directions.Changed(sample);
    }
}

bool EmbedElements(Carrier& carrier, std::span<const uint32_t> elements, const std::vector<uint16_t>& costs,
    std::span<const uint8_t> bits)
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
    carrier.Parities.Gather(elements, cover);
    GatherCosts(elements, costs, elementCosts);
    return TrellisCode::Embed(cover, elementCosts, bits, stego) && NoteChanges(carrier, elements, cover, stego);
}

bool ExtractElements(const ElementParities& image, std::span<const uint32_t> elements, std::span<uint8_t> bits)
{
    std::vector<uint8_t> parities;
    try {
        parities.resize(elements.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.Gather(elements, parities);
    TrellisCode::Extract(parities, bits);
    return true;
}

// The elements of each part of the order.
struct Parts {
    std::span<const uint32_t> Salt;
    std::span<const uint32_t> Length;
    std::span<const uint32_t> Payload;
};

Parts Split(const std::vector<uint32_t>& order, const ElementPlan& plan)
{
    const std::span<const uint32_t> all(order);
    return { all.first(plan.SaltElements), all.subspan(plan.SaltElements, plan.LengthElements),
        all.subspan(plan.SaltElements + plan.LengthElements) };
}

std::vector<uint8_t> LengthBits(uint64_t envelopeBytes, const StealthKeys& keys)
{
    std::array<uint8_t, kLengthBytes> field;
    Store32Le(field.data(), static_cast<uint32_t>(envelopeBytes) ^ keys.LengthMask());
    return MessageBits::FromBytes(field);
}

bool EmbedPayload(Carrier& carrier, std::span<const uint32_t> elements, const std::vector<uint16_t>& costs,
    std::span<const uint8_t> bits, const Progress& progress)
{
    const uint64_t blocks = PayloadBlocks::Count(elements.size());
    for (uint64_t b = 0; b < blocks; ++b) {
        if (!EmbedElements(
                carrier, PayloadBlocks::Share(elements, b, blocks), costs, PayloadBlocks::Share(bits, b, blocks)))
            return false;
        progress.Block(b + 1, blocks);
    }
    return true;
}

bool ExtractPayload(const ElementParities& image, std::span<const uint32_t> elements, std::span<uint8_t> bits)
{
    const uint64_t blocks = PayloadBlocks::Count(elements.size());
    for (uint64_t b = 0; b < blocks; ++b) {
        if (!ExtractElements(image, PayloadBlocks::Share(elements, b, blocks), PayloadBlocks::Share(bits, b, blocks)))
            return false;
    }
    return true;
}

// The element order with its keyed part; false when memory is short.
bool BuildOrder(std::vector<uint32_t>& order, const ElementPlan& plan, const StealthKeys& keys)
{
    if (!ElementOrder::Start(order, plan.Elements, plan.SaltElements))
        return false;
    const std::span<uint32_t> tail = std::span(order).subspan(plan.SaltElements);
    Keystream stream(keys.Order().Span());
    ElementOrder::Steps(tail, 0, tail.size() - 1, stream);
    return true;
}

StealthStatus Embed(Carrier& carrier, const ElementPlan& plan, const StealthKeys::Salt& salt, const StealthKeys& keys,
    std::span<const uint8_t> envelope, const Progress& progress)
{
    std::vector<uint16_t> costs;
    if (!HillCost::Compute(carrier.Image, costs))
        return StealthStatus::Unsuitable;
    progress.Set(kProgressCosts);
    std::vector<uint32_t> order;
    if (!BuildOrder(order, plan, keys))
        return StealthStatus::Unsuitable;
    progress.Set(kProgressOrder);
    const Parts parts = Split(order, plan);
    const std::vector<uint8_t> saltBits = MessageBits::FromBytes(salt);
    const std::vector<uint8_t> lengthBits = LengthBits(envelope.size(), keys);
    const std::vector<uint8_t> payloadBits = MessageBits::FromBytes(envelope);
    progress.Set(kProgressPayload);
    if (!EmbedElements(carrier, parts.Salt, costs, saltBits) || !EmbedElements(carrier, parts.Length, costs, lengthBits)
        || !EmbedPayload(carrier, parts.Payload, costs, payloadBits, progress))
        return StealthStatus::Unsuitable;
    ApplyChanges(carrier);
    return StealthStatus::Done;
}

std::optional<StealthKeys::Salt> ReadSalt(const ElementParities& image, std::span<const uint32_t> elements)
{
    std::array<uint8_t, 8 * kSaltBytes> bits;
    if (!ExtractElements(image, elements, bits))
        return std::nullopt;
    StealthKeys::Salt salt;
    MessageBits::ToBytes(bits, salt);
    return salt;
}

// The envelope length, when the image can hold it: at least the overhead,
// at most the largest size's bits.
std::optional<uint64_t> ReadLength(
    const ElementParities& image, std::span<const uint32_t> elements, const StealthKeys& keys, const ElementPlan& plan)
{
    std::array<uint8_t, 8 * kLengthBytes> bits;
    std::array<uint8_t, kLengthBytes> field;
    if (!ExtractElements(image, elements, bits))
        return std::nullopt;
    MessageBits::ToBytes(bits, field);
    const uint64_t length = Load32Le(field.data()) ^ keys.LengthMask();
    if (length < kEnvelopeOverhead || 8 * length > plan.LargestBits)
        return std::nullopt;
    return length;
}

std::optional<std::vector<uint8_t>> ReadEnvelope(
    const ElementParities& image, std::span<const uint32_t> elements, uint64_t length)
{
    std::vector<uint8_t> bits;
    std::vector<uint8_t> envelope;
    try {
        bits.resize(8 * length);
        envelope.resize(length);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!ExtractPayload(image, elements, bits))
        return std::nullopt;
    MessageBits::ToBytes(bits, envelope);
    return envelope;
}

// The length elements are final after the first L steps of the keyed
// shuffle: a length out of bounds (a wrong key, or no stealth image) ends
// the reading before the rest of the shuffle.
std::optional<StealthEnvelope::Opened> ReadOpened(const DibImage& image, const ElementParities& parities,
    std::vector<uint32_t>& order, const ElementPlan& plan, const StealthKeys& keys, const Progress& progress)
{
    const std::span<uint32_t> tail = std::span(order).subspan(plan.SaltElements);
    Keystream stream(keys.Order().Span());
    ElementOrder::Steps(tail, 0, plan.LengthElements, stream);
    const Parts parts = Split(order, plan);
    const std::optional<uint64_t> length = ReadLength(parities, parts.Length, keys, plan);
    if (!length)
        return std::nullopt;
    ElementOrder::Steps(tail, plan.LengthElements, tail.size() - 1, stream);
    progress.Set(kProgressOrder);
    const std::optional<std::vector<uint8_t>> envelope = ReadEnvelope(parities, parts.Payload, *length);
    if (!envelope)
        return std::nullopt;
    return StealthEnvelope::Open(keys, image.Width(), image.Height(), *envelope);
}

} // namespace

StealthStatus Hide(DibImage& image, const SecretBytes& password, std::span<const uint8_t> content,
    std::string_view storedName, ProgressSink* progress)
{
    if (!Suitable(image))
        return StealthStatus::Unsuitable;
    const std::optional<ElementPlan> plan = ElementPlan::For(image.Width(), image.Height());
    if (!plan)
        return StealthStatus::Unsuitable;
    if (storedName.size() > kMaxNameBytes
        || content.size() + storedName.size() > SizesFor(image.Width(), image.Height()).Largest)
        return StealthStatus::TooLarge;
    if (!SodiumReady())
        return StealthStatus::Unsuitable;
    const Progress steps(progress);
    StealthKeys::Salt salt;
    randombytes_buf(salt.data(), salt.size());
    const std::optional<StealthKeys> keys = StealthKeys::Derive(password.Span(), salt);
    if (!keys)
        return StealthStatus::Unsuitable;
    steps.Set(kProgressKeys);
    const std::optional<std::vector<uint8_t>> envelope
        = StealthEnvelope::Seal(*keys, image.Width(), image.Height(), storedName, content);
    if (!envelope)
        return StealthStatus::Unsuitable;
    ElementParities parities;
    if (!parities.Read(image))
        return StealthStatus::Unsuitable;
    Carrier carrier { image, parities, {} };
    return Embed(carrier, *plan, salt, *keys, *envelope, steps);
}

StealthStatus Open(const DibImage& image, const SecretBytes& password, std::vector<uint8_t>& content,
    std::string& storedName, ProgressSink* progress)
{
    if (!Suitable(image) || !SodiumReady())
        return StealthStatus::NotOpened;
    const std::optional<ElementPlan> plan = ElementPlan::For(image.Width(), image.Height());
    ElementParities parities;
    std::vector<uint32_t> order;
    if (!plan || !parities.Read(image) || !ElementOrder::Start(order, plan->Elements, plan->SaltElements))
        return StealthStatus::NotOpened;
    const Progress steps(progress);
    const std::optional<StealthKeys::Salt> salt
        = ReadSalt(parities, std::span<const uint32_t>(order).first(plan->SaltElements));
    if (!salt)
        return StealthStatus::NotOpened;
    const std::optional<StealthKeys> keys = StealthKeys::Derive(password.Span(), *salt);
    if (!keys)
        return StealthStatus::NotOpened;
    steps.Set(kProgressKeys);
    std::optional<StealthEnvelope::Opened> opened = ReadOpened(image, parities, order, *plan, *keys, steps);
    if (!opened)
        return StealthStatus::NotOpened;
    content = std::move(opened->Content);
    storedName = std::move(opened->StoredName);
    steps.Set(kProgressEnd);
    return StealthStatus::Done;
}

} // namespace lumaquill::stealth
