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

    // Stretches the whole source into width x height pixels, each axis and
    // each colour channel on its own, in integers only, so that every build
    // and an independent implementation give the same bytes:
    //
    // - An axis of S source and D destination pixels with D <= S is reduced
    //   by area: destination pixel i covers the source span [i*S/D,
    //   (i+1)*S/D); measured in 1/D of a source pixel, source pixel j gets
    //   the weight min((i+1)*S, (j+1)*D) - max(i*S, j*D) where that is
    //   positive. The weights of every destination pixel sum to S (D = S
    //   copies the axis).
    // - An axis with D > S is enlarged bilinearly: destination pixel i samples
    //   the source at ((2i+1)*S - D) / (2D) source pixels, clamped below at
    //   0. With n = max(0, (2i+1)*S - D), j = n / (2D) and f = n mod (2D),
    //   source pixel j gets the weight 2D - f and source pixel min(j+1, S-1)
    //   the weight f; they sum to 2D.
    // - A destination channel is (sum of wx * wy * source channel + Wx*Wy/2)
    //   / (Wx*Wy) over the source pixels of its column weights wx (summing
    //   to Wx) and row weights wy (summing to Wy), in unsigned integers with
    //   the division truncating: the weighted average rounded half up.
    //
    // Rows and columns are indexed in storage order (rows bottom-up); both
    // rules are symmetric, so counting rows from the top gives the same
    // picture. A 32-bit source's fourth byte is ignored; padding bytes are 0.
    // A source that is not a valid 24- or 32-bit image, a size below 1 x 1
    // or a picture beyond the limits every reader shares (PictureLimits)
    // leave the picture empty.
    void CreateScaled(const DibImage& source, int32_t width, int32_t height);
    // Sizes the picture to about target pixels plus 3 on each side.
    void CreateForTarget(const DibImage& source, uint32_t target);
    // The size CreateForTarget makes of a source of sourceWidth x
    // sourceHeight; false when the source has no size or a side would not
    // fit an int.
    static bool SizeForTarget(
        int32_t sourceWidth, int32_t sourceHeight, uint32_t target, int32_t& width, int32_t& height);
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
    bool Stretch(const DibImage& source, size_t stride);

    int32_t ScaledHeight = 0;
    int32_t ScaledWidth = 0;
    std::vector<uint8_t> Pixels;
};

} // namespace lumaquill
