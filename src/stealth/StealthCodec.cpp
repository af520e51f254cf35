#include "stealth/StealthCodec.h"

#include "image/DibImage.h"
#include "stealth/ChangeDirections.h"
#include "stealth/ElementPlan.h"
#include "stealth/ElementSamples.h"
#include "stealth/HillCost.h"
#include "stealth/StealthCarrier.h"
#include "stealth/StealthRun.h"

#include <cassert>
#include <optional>

namespace lumaquill::stealth {

namespace {

bool Suitable(const DibImage& image)
{
    return image.IsValid() && (image.BitCount() == 24 || image.BitCount() == 32);
}

// The R, G, B samples of a 24- or 32-bit picture, at HILL costs.
class PictureCarrier : public StealthCarrier {
public:
    // Hide's carrier, which changes image.
    explicit PictureCarrier(DibImage& image)
        : Image(image)
        , Writable(&image)
    {
    }
    // Open's carrier, which only reads.
    explicit PictureCarrier(const DibImage& image)
        : Image(image)
    {
    }

    int32_t Width() const override { return Image.Width(); }
    int32_t Height() const override { return Image.Height(); }
    bool ReadParities(ElementParities& parities) const override { return parities.Read(Image); }
    bool ComputeCosts(ElementCosts& costs) const override { return HillCost::Compute(Image, costs.Halves()); }
    void ApplyChanges(std::span<const uint32_t> changed) override
    {
        assert(Writable);
        const ElementSamples samples(Image);
        ChangeDirections directions;
        uint8_t* rows = Writable->Pixels().data();
        for (const uint32_t element : changed) {
            uint8_t& sample = rows[samples.Offset(element)];
            sample = directions.Changed(sample);
        }
    }

private:
    const DibImage& Image;
    DibImage* Writable = nullptr;
};

} // namespace

StealthStatus Hide(DibImage& image, const SecretBytes& password, std::span<const uint8_t> content,
    std::string_view storedName, ProgressSink* progress)
{
    if (!Suitable(image))
        return StealthStatus::Unsuitable;
    const std::optional<ElementPlan> plan = ElementPlan::For(image.Width(), image.Height());
    if (!plan)
        return StealthStatus::Unsuitable;
    PictureCarrier carrier(image);
    return StealthRun::Hide(carrier, *plan, password, content, storedName, progress);
}

StealthStatus Open(const DibImage& image, const SecretBytes& password, std::vector<uint8_t>& content,
    std::string& storedName, ProgressSink* progress)
{
    if (!Suitable(image))
        return StealthStatus::NotOpened;
    const std::optional<ElementPlan> plan = ElementPlan::For(image.Width(), image.Height());
    if (!plan)
        return StealthStatus::NotOpened;
    const PictureCarrier carrier(image);
    return StealthRun::Open(carrier, *plan, plan->LargestBits, password, content, storedName, progress);
}

} // namespace lumaquill::stealth
