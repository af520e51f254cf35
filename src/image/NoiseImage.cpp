#include "image/NoiseImage.h"

#include "image/BmpFormat.h"
#include "image/PictureLimits.h"
#include "image/SaveBmp24.h"
#include "keys/RuntimeRandom.h"

#include <cmath>
#include <limits>
#include <new>

namespace lumaquill {

namespace {

// n = floor(sqrt(floor(S / 3) + 4096)) + 3; the picture is n + 2 wide.
constexpr uint32_t kBytesPerArea = 3;
constexpr uint32_t kBaseArea = 4096;
constexpr int32_t kSideMargin = 3;
constexpr int32_t kBorder = 2;
constexpr uint32_t kBitsPerPixel = 24;
// Noise bytes are rand() mod 255: never 255.
constexpr int32_t kNoiseModulus = 255;

} // namespace

int32_t NoiseImage::SideFor(uint32_t payloadSize)
{
    const uint32_t area = payloadSize / kBytesPerArea + kBaseArea;
    return static_cast<int32_t>(std::sqrt(static_cast<double>(area))) + kSideMargin;
}

// A side below 1 or a picture beyond the limits leave the picture empty and
// draw nothing from the generator.
void NoiseImage::Create(int32_t n)
{
    Side = RowStride = 0;
    std::vector<uint8_t>().swap(Pixels);
    const int64_t side = int64_t(n) + kBorder;
    if (side <= 0 || !limits::Fits(uint64_t(side), uint64_t(side), kBitsPerPixel))
        return;
    const uint64_t stride = bmp::Stride64(kBitsPerPixel, uint64_t(side));
    try {
        Pixels.resize(stride * uint64_t(side));
    } catch (const std::bad_alloc&) {
        return;
    }
    Side = static_cast<int32_t>(side);
    RowStride = static_cast<int32_t>(stride);
    for (uint8_t& byte : Pixels)
        byte = static_cast<uint8_t>(RuntimeRand() % kNoiseModulus);
}

uint32_t NoiseImage::Write(std::ostream& file) const
{
    return WriteBmp24(file, Side, Side, Pixels);
}

uint32_t NoiseImage::Save(const std::string& path)
{
    return SaveBmp24(path, Side, Side, Pixels);
}

} // namespace lumaquill
