#include "stealth/JpegStealthCodec.h"

#include "core/ByteOrder.h"
#include "core/ProgressSink.h"
#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"
#include "seal/Sodium.h"
#include "stealth/ElementCodes.h"
#include "stealth/ElementOrder.h"
#include "stealth/ElementParities.h"
#include "stealth/ElementPlan.h"
#include "stealth/JpegStealthFormat.h"
#include "stealth/Keystream.h"
#include "stealth/MessageBits.h"
#include "stealth/StealthEnvelope.h"
#include "stealth/StealthFormat.h"
#include "stealth/StealthKeys.h"
#include "stealth/UerdCost.h"

#include <array>
#include <new>
#include <optional>
#include <sodium.h>

namespace lumaquill::stealth {

namespace {

constexpr uint32_t kBlock = JpegCoefficients::kBlockCoefficients;

// Progress runs from 0 to kProgressEnd; the payload blocks fill the part
// from kProgressPayload on.
constexpr int32_t kProgressEnd = 100;
constexpr int32_t kProgressKeys = 10;
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

bool IsDc(uint64_t element)
{
    return element % kBlock == 0;
}

bool Codable(const JpegCoefficients& jpeg)
{
    for (size_t e = 0; e < jpeg.Values.size(); ++e) {
        const int32_t v = jpeg.Values[e];
        if (IsDc(e) ? (v < kMinDc || v > kMaxDc) : (v < kMinAc || v > kMaxAc))
            return false;
    }
    return true;
}

std::optional<ElementPlan> PlanFor(const JpegCoefficients& jpeg)
{
    if (jpeg.Components.empty() || jpeg.Values.empty())
        return std::nullopt;
    return ElementPlan::ForElements(jpeg.Values.size(), jpeg.NonZeroAc());
}

// Each changed coefficient moves by 1 towards the inside of its range at a
// bound, otherwise up or down at random.
void ApplyChanges(JpegCoefficients& jpeg, const std::vector<uint32_t>& changed)
{
    uint32_t word = 0;
    int left = 0;
    for (const uint32_t e : changed) {
        if (left == 0) {
            word = randombytes_random();
            left = 32;
        }
        const bool random = (word & 1u) != 0;
        word >>= 1;
        --left;
        int16_t& value = jpeg.Values[e];
        const bool atLow = value == (IsDc(e) ? kMinDc : kMinAc);
        const bool atHigh = value == (IsDc(e) ? kMaxDc : kMaxAc);
        const bool up = atLow || (!atHigh && random);
        value = static_cast<int16_t>(up ? value + 1 : value - 1);
    }
}

std::vector<uint8_t> LengthBits(uint64_t envelopeBytes, const StealthKeys& keys)
{
    std::array<uint8_t, kLengthBytes> field;
    Store32Le(field.data(), static_cast<uint32_t>(envelopeBytes) ^ keys.LengthMask());
    return MessageBits::FromBytes(field);
}

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
    JpegCoefficients& Jpeg;
    const ElementPlan& Plan;
    const StealthKeys::Salt& Salt;
    const StealthKeys& Keys;
};

StealthStatus Embed(const Cover& cover, std::span<const uint8_t> envelope, const Progress& progress)
{
    ElementParities parities;
    std::vector<float> costs;
    std::vector<uint32_t> order;
    if (!parities.ReadLowBits(cover.Jpeg.Values) || !UerdCost::Compute(cover.Jpeg, costs)
        || !BuildOrder(order, cover.Plan, cover.Keys))
        return StealthStatus::Unsuitable;
    progress.Set(kProgressOrder);
    const ElementCodes::Parts parts = ElementCodes::Split(order, cover.Plan);
    const std::vector<uint8_t> saltBits = MessageBits::FromBytes(cover.Salt);
    const std::vector<uint8_t> lengthBits = LengthBits(envelope.size(), cover.Keys);
    const std::vector<uint8_t> payloadBits = MessageBits::FromBytes(envelope);
    progress.Set(kProgressPayload);
    std::vector<uint32_t> changed;
    // The parts' elements are disjoint: every code reads cover parities.
    if (!ElementCodes::Embed(parts.Salt, parities, costs, saltBits, changed)
        || !ElementCodes::Embed(parts.Length, parities, costs, lengthBits, changed)
        || !ElementCodes::Embed(parts.Payload, parities, costs, payloadBits, changed, progress.Blocks()))
        return StealthStatus::Unsuitable;
    ApplyChanges(cover.Jpeg, changed);
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

// The envelope length, when the payload elements can carry it.
std::optional<uint64_t> ReadLength(
    const ElementParities& parities, std::span<const uint32_t> elements, const StealthKeys& keys, uint64_t payload)
{
    std::array<uint8_t, 8 * kLengthBytes> bits;
    std::array<uint8_t, kLengthBytes> field;
    if (!ElementCodes::Extract(elements, parities, bits))
        return std::nullopt;
    MessageBits::ToBytes(bits, field);
    const uint64_t length = Load32Le(field.data()) ^ keys.LengthMask();
    if (length < kEnvelopeOverhead || 8 * length > payload)
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

// The keyed order's first L steps fix the length elements: a length out of
// bounds is refused before the rest of the shuffle.
std::optional<StealthEnvelope::Opened> ReadOpened(const JpegCoefficients& jpeg, const ElementParities& parities,
    std::vector<uint32_t>& order, const ElementPlan& plan, const StealthKeys& keys)
{
    const std::span<uint32_t> tail = std::span(order).subspan(plan.SaltElements);
    Keystream stream(keys.Order().Span());
    ElementOrder::Steps(tail, 0, plan.LengthElements, stream);
    const ElementCodes::Parts parts = ElementCodes::Split(order, plan);
    const std::optional<uint64_t> length = ReadLength(parities, parts.Length, keys, parts.Payload.size());
    if (!length)
        return std::nullopt;
    ElementOrder::Steps(tail, plan.LengthElements, tail.size() - 1, stream);
    const std::optional<std::vector<uint8_t>> envelope = ReadEnvelope(parities, parts.Payload, *length);
    if (!envelope)
        return std::nullopt;
    return StealthEnvelope::Open(keys, int32_t(jpeg.Width), int32_t(jpeg.Height), *envelope);
}

} // namespace

StealthSizes JpegStealthCodec::SizesFor(const JpegCoefficients& jpeg)
{
    const std::optional<ElementPlan> plan = PlanFor(jpeg);
    return plan ? stealth::SizesFor(*plan) : StealthSizes {};
}

StealthStatus JpegStealthCodec::Hide(JpegCoefficients& jpeg, const SecretBytes& password,
    std::span<const uint8_t> content, std::string_view storedName, ProgressSink* progress)
{
    const std::optional<ElementPlan> plan = PlanFor(jpeg);
    if (!plan || !Codable(jpeg))
        return StealthStatus::Unsuitable;
    if (storedName.size() > kMaxNameBytes || content.size() + storedName.size() > stealth::SizesFor(*plan).Largest)
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
        = StealthEnvelope::Seal(*keys, int32_t(jpeg.Width), int32_t(jpeg.Height), storedName, content);
    if (!envelope)
        return StealthStatus::Unsuitable;
    return Embed(Cover { jpeg, *plan, salt, *keys }, *envelope, steps);
}

StealthStatus JpegStealthCodec::Open(const JpegCoefficients& jpeg, const SecretBytes& password,
    std::vector<uint8_t>& content, std::string& storedName, ProgressSink* progress)
{
    const std::optional<ElementPlan> plan = PlanFor(jpeg);
    ElementParities parities;
    std::vector<uint32_t> order;
    if (!plan || !SodiumReady() || !parities.ReadLowBits(jpeg.Values)
        || !ElementOrder::Start(order, plan->Elements, plan->SaltElements))
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
    std::optional<StealthEnvelope::Opened> opened = ReadOpened(jpeg, parities, order, *plan, *keys);
    if (!opened)
        return StealthStatus::NotOpened;
    content = std::move(opened->Content);
    storedName = std::move(opened->StoredName);
    steps.Set(kProgressEnd);
    return StealthStatus::Done;
}

StealthStatus JpegStealthCodec::HideFile(std::span<const uint8_t> cover, const SecretBytes& password,
    std::span<const uint8_t> content, std::string_view storedName, std::vector<uint8_t>& out, ProgressSink* progress)
{
    JpegCoefficients jpeg;
    std::string detail;
    if (JpegCoefficientFile::Read(cover, jpeg, detail) != LoadProblem::None)
        return StealthStatus::Unsuitable;
    const StealthStatus status = Hide(jpeg, password, content, storedName, progress);
    if (status != StealthStatus::Done)
        return status;
    return JpegCoefficientFile::Write(cover, jpeg, out) ? StealthStatus::Done : StealthStatus::Unsuitable;
}

StealthStatus JpegStealthCodec::OpenFile(std::span<const uint8_t> file, const SecretBytes& password,
    std::vector<uint8_t>& content, std::string& storedName, ProgressSink* progress)
{
    JpegCoefficients jpeg;
    std::string detail;
    if (JpegCoefficientFile::Read(file, jpeg, detail) != LoadProblem::None)
        return StealthStatus::NotOpened;
    return Open(jpeg, password, content, storedName, progress);
}

} // namespace lumaquill::stealth
