#include "stealth/ElementSamples.h"

#include "image/DibImage.h"

#include <cassert>

namespace lumaquill::stealth {

ElementSamples::ElementSamples(const DibImage& image)
    : Width(uint64_t(image.Width()))
    , Height(uint64_t(image.Height()))
    , Stride(image.Stride())
    , PixelBytes(image.BitCount() / 8u)
{
    assert(image.IsValid() && (image.BitCount() == 24 || image.BitCount() == 32));
}

} // namespace lumaquill::stealth
