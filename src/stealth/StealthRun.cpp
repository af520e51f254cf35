#include "stealth/StealthRun.h"

#include "core/ByteOrder.h"
#include "core/ProgressSink.h"
#include "seal/Sodium.h"
#include "stealth/ElementCodes.h"
#include "stealth/ElementOrder.h"
#include "stealth/Keystream.h"
#include "stealth/MessageBits.h"
#include "stealth/StealthCarrier.h"
#include "stealth/StealthEnvelope.h"
#include "stealth/StealthFormat.h"
#include "stealth/StealthKeys.h"
#include "stealth/StealthSizes.h"

#include <array>
#include <new>
#include <optional>
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
    ElementCodes::BlockDone Blocks() const
    {
        return [this](uint64_t done, uint64_t blocks) {
            Set(kProgressPayload + int32_t(uint64_t(kProgressEnd - kProgressPayload) * done / blocks));
        };
    }

private:
    ProgressSink* Sink;
};

std::vector<uint8_t> LengthBits(uint64_t envelopeBytes, const StealthKeys& keys)
{
    std::array<uint8_t, kLengthBytes> field;
    Store32Le(field.data(), static_cast<uint32_t>(envelopeBytes) ^ keys.LengthMask());
    return MessageBits::FromBytes(field);
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

struct Cover {
    StealthCarrier& Carrier;
    const ElementPlan& Plan;
    const StealthKeys::Salt& Salt;
    const StealthKeys& Keys;
};

// The salt, length and payload elements are disjoint and each change
// touches one element, so every code reads the cover's parities and costs;
// the carrier changes only once all three are found.
StealthStatus Embed(const Cover& cover, std::span<const uint8_t> envelope, const Progress& progress)
{
    ElementParities parities;
    ElementCosts costs;
    if (!cover.Carrier.ReadParities(parities) || !cover.Carrier.ComputeCosts(costs))
        return StealthStatus::Unsuitable;
    progress.Set(kProgressCosts);
    std::vector<uint32_t> order;
    if (!BuildOrder(order, cover.Plan, cover.Keys))
        return StealthStatus::Unsuitable;
    progress.Set(kProgressOrder);
    const ElementCodes::Parts parts = ElementCodes::Split(order, cover.Plan);
    const std::vector<uint8_t> saltBits = MessageBits::FromBytes(cover.Salt);
    const std::vector<uint8_t> lengthBits = LengthBits(envelope.size(), cover.Keys);
    const std::vector<uint8_t> payloadBits = MessageBits::FromBytes(envelope);
    progress.Set(kProgressPayload);
    std::vector<uint32_t> changed;
    if (!ElementCodes::Embed(parts.Salt, parities, costs, saltBits, changed)
        || !ElementCodes::Embed(parts.Length, parities, costs, lengthBits, changed)
        || !ElementCodes::Embed(parts.Payload, parities, costs, payloadBits, changed, progress.Blocks()))
        return StealthStatus::Unsuitable;
    cover.Carrier.ApplyChanges(changed);
    return StealthStatus::Done;
}

std::optional<StealthKeys::Salt> ReadSalt(const ElementParities& parities, std::span<const uint32_t> elements)
{
    std::array<uint8_t, 8 * kSaltBytes> bits;
    if (!ElementCodes::Extract(elements, parities, bits))
        return std::nullopt;
    StealthKeys::Salt salt;
    MessageBits::ToBytes(bits, salt);
    return salt;
}

// The envelope length, when it is at least the overhead and its bits at
// most maxBits.
std::optional<uint64_t> ReadLength(
    const ElementParities& parities, std::span<const uint32_t> elements, const StealthKeys& keys, uint64_t maxBits)
{
    std::array<uint8_t, 8 * kLengthBytes> bits;
    std::array<uint8_t, kLengthBytes> field;
    if (!ElementCodes::Extract(elements, parities, bits))
        return std::nullopt;
    MessageBits::ToBytes(bits, field);
    const uint64_t length = Load32Le(field.data()) ^ keys.LengthMask();
    if (length < kEnvelopeOverhead || 8 * length > maxBits)
        return std::nullopt;
    return length;
}

std::optional<std::vector<uint8_t>> ReadEnvelope(
    const ElementParities& parities, std::span<const uint32_t> elements, uint64_t length)
{
    std::vector<uint8_t> bits;
    std::vector<uint8_t> envelope;
    try {
        bits.resize(8 * length);
        envelope.resize(length);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!ElementCodes::Extract(elements, parities, bits))
        return std::nullopt;
    MessageBits::ToBytes(bits, envelope);
    return envelope;
}

struct Reading {
    const StealthCarrier& Carrier;
    const ElementParities& Parities;
    const ElementPlan& Plan;
    uint64_t MaxEnvelopeBits;
};

// The length elements are final after the first L steps of the keyed
// shuffle: a length out of bounds (a wrong key, or no stealth image) ends
// the reading before the rest of the shuffle.
std::optional<StealthEnvelope::Opened> ReadOpened(
    const Reading& r, std::vector<uint32_t>& order, const StealthKeys& keys, const Progress& progress)
{
    const std::span<uint32_t> tail = std::span(order).subspan(r.Plan.SaltElements);
    Keystream stream(keys.Order().Span());
    ElementOrder::Steps(tail, 0, r.Plan.LengthElements, stream);
    const ElementCodes::Parts parts = ElementCodes::Split(order, r.Plan);
    const std::optional<uint64_t> length = ReadLength(r.Parities, parts.Length, keys, r.MaxEnvelopeBits);
    if (!length)
        return std::nullopt;
    ElementOrder::Steps(tail, r.Plan.LengthElements, tail.size() - 1, stream);
    progress.Set(kProgressOrder);
    const std::optional<std::vector<uint8_t>> envelope = ReadEnvelope(r.Parities, parts.Payload, *length);
    if (!envelope)
        return std::nullopt;
    return StealthEnvelope::Open(keys, r.Carrier.Width(), r.Carrier.Height(), *envelope);
}

} // namespace

StealthStatus StealthRun::Hide(StealthCarrier& carrier, const ElementPlan& plan, const SecretBytes& password,
    std::span<const uint8_t> content, std::string_view storedName, ProgressSink* progress)
{
    if (storedName.size() > kMaxNameBytes || content.size() + storedName.size() > SizesFor(plan).Largest)
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
        = StealthEnvelope::Seal(*keys, carrier.Width(), carrier.Height(), storedName, content);
    if (!envelope)
        return StealthStatus::Unsuitable;
    return Embed(Cover { carrier, plan, salt, *keys }, *envelope, steps);
}

StealthStatus StealthRun::Open(const StealthCarrier& carrier, const ElementPlan& plan, uint64_t maxEnvelopeBits,
    const SecretBytes& password, std::vector<uint8_t>& content, std::string& storedName, ProgressSink* progress)
{
    ElementParities parities;
    std::vector<uint32_t> order;
    if (!SodiumReady() || !carrier.ReadParities(parities)
        || !ElementOrder::Start(order, plan.Elements, plan.SaltElements))
        return StealthStatus::NotOpened;
    const Progress steps(progress);
    const std::optional<StealthKeys::Salt> salt
        = ReadSalt(parities, std::span<const uint32_t>(order).first(plan.SaltElements));
    if (!salt)
        return StealthStatus::NotOpened;
    const std::optional<StealthKeys> keys = StealthKeys::Derive(password.Span(), *salt);
    if (!keys)
        return StealthStatus::NotOpened;
    steps.Set(kProgressKeys);
    std::optional<StealthEnvelope::Opened> opened
        = ReadOpened(Reading { carrier, parities, plan, maxEnvelopeBits }, order, *keys, steps);
    if (!opened)
        return StealthStatus::NotOpened;
    content = std::move(opened->Content);
    storedName = std::move(opened->StoredName);
    steps.Set(kProgressEnd);
    return StealthStatus::Done;
}

} // namespace lumaquill::stealth
