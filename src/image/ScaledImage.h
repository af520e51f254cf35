#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace lumaquill {

class DibImage;

// A 24-bit picture made by stretching a 24- or 32-bit DibImage to a new
// size: the "Shrink to fit?" container and the encoded-image preview.
class ScaledImage {
public:
    // T = 3 * S + 4096 for a compressed payload of S bytes (unsigned 32-bit).
    static uint32_t ShrinkTarget(uint32_t payloadSize);

    virtual ~ScaledImage() = default;

    // A reduced dimension combines the eliminated rows or columns with the
    // kept ones by bitwise AND; an enlarged one repeats pixels. A source
    // that is not a valid 24- or 32-bit image, a size below 1 x 1 or rows
    // too large for a bitmap file leave the picture empty.
    void CreateScaled(const DibImage& source, int32_t width, int32_t height);
    // Sizes the picture to about target pixels plus 3 on each side.
    void CreateForTarget(const DibImage& source, uint32_t target);
    // As NoiseImage::Save.
    uint32_t Save(const std::string& path);
    // The same bitmap file's bytes onto a stream (a container made in
    // memory); 0 when there is no picture or the stream failed.
    uint32_t Write(std::ostream& file) const;
    void Release();

    int32_t Width() const { return ScaledWidth; }
    int32_t Height() const { return ScaledHeight; }
    // Bottom-up 24-bit rows, each padded to a multiple of 4 bytes.
    const std::vector<uint8_t>& Rows() const { return Pixels; }

private:
    void Stretch(const DibImage& source, size_t stride);

    int32_t ScaledHeight = 0;
    int32_t ScaledWidth = 0;
    std::vector<uint8_t> Pixels;
};

} // namespace lumaquill
