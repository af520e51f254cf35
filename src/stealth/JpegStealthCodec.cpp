#include "stealth/JpegStealthCodec.h"

#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"
#include "stealth/ChangeDirections.h"
#include "stealth/ElementPlan.h"
#include "stealth/JpegStealthFormat.h"
#include "stealth/StealthCarrier.h"
#include "stealth/StealthRun.h"
#include "stealth/UerdCost.h"

#include <cassert>
#include <optional>

namespace lumaquill::stealth {

namespace {

constexpr uint32_t kBlock = JpegCoefficients::kBlockCoefficients;

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
void ApplyChanges(JpegCoefficients& jpeg, std::span<const uint32_t> changed)
{
    ChangeDirections directions;
    for (const uint32_t e : changed) {
        const bool random = directions.NextBit() == 1;
        int16_t& value = jpeg.Values[e];
        const bool atLow = value == (IsDc(e) ? kMinDc : kMinAc);
        const bool atHigh = value == (IsDc(e) ? kMaxDc : kMaxAc);
        const bool up = atLow || (!atHigh && random);
        value = static_cast<int16_t>(up ? value + 1 : value - 1);
    }
}

// The quantised coefficients of a JPEG, at UERD costs.
class JpegCarrier : public StealthCarrier {
public:
    // Hide's carrier, which changes jpeg.
    explicit JpegCarrier(JpegCoefficients& jpeg)
        : Jpeg(jpeg)
        , Writable(&jpeg)
    {
    }
    // Open's carrier, which only reads.
    explicit JpegCarrier(const JpegCoefficients& jpeg)
        : Jpeg(jpeg)
    {
    }

    int32_t Width() const override { return int32_t(Jpeg.Width); }
    int32_t Height() const override { return int32_t(Jpeg.Height); }
    bool ReadParities(ElementParities& parities) const override { return parities.ReadLowBits(Jpeg.Values); }
    bool ComputeCosts(ElementCosts& costs) const override { return UerdCost::Compute(Jpeg, costs.Floats()); }
    void ApplyChanges(std::span<const uint32_t> changed) override
    {
        assert(Writable);
        stealth::ApplyChanges(*Writable, changed);
    }

private:
    const JpegCoefficients& Jpeg;
    JpegCoefficients* Writable = nullptr;
};

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
    JpegCarrier carrier(jpeg);
    return StealthRun::Hide(carrier, *plan, password, content, storedName, progress);
}

// Embedding changes the count of non-zero coefficients, so a reader takes
// any length the payload elements can carry.
StealthStatus JpegStealthCodec::Open(const JpegCoefficients& jpeg, const SecretBytes& password,
    std::vector<uint8_t>& content, std::string& storedName, ProgressSink* progress)
{
    const std::optional<ElementPlan> plan = PlanFor(jpeg);
    if (!plan)
        return StealthStatus::NotOpened;
    const JpegCarrier carrier(jpeg);
    return StealthRun::Open(carrier, *plan, plan->PayloadElements, password, content, storedName, progress);
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
