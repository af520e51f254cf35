#include "stealth/ElementParities.h"

#include "image/DibImage.h"

#include <new>

namespace lumaquill::stealth {

bool ElementParities::Read(const DibImage& image)
{
    const uint64_t width = uint64_t(image.Width());
    const uint64_t height = uint64_t(image.Height());
    const uint64_t pixelBytes = image.BitCount() / 8u;
    try {
        Bits.assign((3 * width * height + 63) / 64, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint64_t element = 0;
    for (uint64_t y = 0; y < height; ++y) {
        const uint8_t* row = image.Pixels().data() + (height - 1 - y) * image.Stride();
        for (uint64_t x = 0; x < width; ++x, element += 3) {
            // Stored blue, green, red: element colour c lies at byte 2 - c.
            const uint8_t* pixel = row + x * pixelBytes;
            const uint64_t bits = uint64_t(pixel[2] & 1u) | uint64_t(pixel[1] & 1u) << 1 | uint64_t(pixel[0] & 1u) << 2;
            Bits[element / 64] |= bits << (element % 64);
            if (element % 64 > 61)
                Bits[element / 64 + 1] |= bits >> (64 - element % 64);
        }
    }
    return true;
}

bool ElementParities::ReadLowBits(std::span<const int16_t> values)
{
    try {
        Bits.assign((values.size() + 63) / 64, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (size_t e = 0; e < values.size(); ++e)
        Bits[e / 64] |= uint64_t(uint16_t(values[e]) & 1u) << (e % 64);
    return true;
}

void ElementParities::Gather(std::span<const uint32_t> elements, std::span<uint8_t> parities) const
{
    for (size_t t = 0; t < elements.size(); ++t)
        parities[t] = At(elements[t]);
}

} // namespace lumaquill::stealth
