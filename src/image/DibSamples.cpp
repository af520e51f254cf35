#include "image/DibSamples.h"

#include "image/DibImage.h"

#include <cassert>

namespace lumaquill {

namespace {

const uint8_t* StoredRow(const DibImage& image, uint32_t fromTop)
{
    assert(fromTop < uint32_t(image.Height()));
    return image.Pixels().data() + size_t(uint32_t(image.Height()) - 1 - fromTop) * image.Stride();
}

} // namespace

bool DibSamples::HasAlpha(const DibImage& image)
{
    if (image.BitCount() != 32)
        return false;
    const auto width = uint32_t(image.Width());
    for (uint32_t y = 0; y < uint32_t(image.Height()); ++y) {
        const uint8_t* row = StoredRow(image, y);
        for (uint32_t x = 0; x < width; ++x) {
            if (row[4 * x + 3] != 0)
                return true;
        }
    }
    return false;
}

void DibSamples::ReadRgb(const DibImage& image, uint32_t fromTop, uint8_t* out)
{
    const uint32_t step = image.BitCount() / 8;
    const uint8_t* pixel = StoredRow(image, fromTop);
    for (int32_t x = 0; x < image.Width(); ++x, pixel += step, out += 3) {
        out[0] = pixel[2];
        out[1] = pixel[1];
        out[2] = pixel[0];
    }
}

void DibSamples::ReadRgba(const DibImage& image, uint32_t fromTop, uint8_t* out, bool opaque)
{
    const uint32_t step = image.BitCount() / 8;
    const bool keepAlpha = step == 4 && !opaque;
    const uint8_t* pixel = StoredRow(image, fromTop);
    for (int32_t x = 0; x < image.Width(); ++x, pixel += step, out += 4) {
        out[0] = pixel[2];
        out[1] = pixel[1];
        out[2] = pixel[0];
        out[3] = keepAlpha ? pixel[3] : 0xFF;
    }
}

} // namespace lumaquill
