#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumaquill {
class DibImage;
}

namespace lumaquill::stealth {

// The parity of every element, one bit each, read from the picture in one
// pass. The codes read elements in a random order; 4.5 MB of bits for a
// 12-megapixel picture mostly stay in the cache where its 36 MB of samples
// would not.
class ElementParities {
public:
    // False when the memory cannot be had. REQUIRES: image valid with 24 or
    // 32 bits per pixel.
    bool Read(const DibImage& image);
    // Element e is values[e] (two's complement: -1 is odd). False when the
    // memory cannot be had.
    bool ReadLowBits(std::span<const int16_t> values);

    uint8_t At(uint32_t element) const { return uint8_t((Bits[element / 64] >> (element % 64)) & 1u); }
    // The parities of the elements, in their order.
    void Gather(std::span<const uint32_t> elements, std::span<uint8_t> parities) const;

private:
    std::vector<uint64_t> Bits;
};

} // namespace lumaquill::stealth
