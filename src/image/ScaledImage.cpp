#include "image/ScaledImage.h"

#include "image/BmpFormat.h"
#include "image/DibImage.h"
#include "image/SaveBmp24.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace lumaquill {

namespace {

// T = 3 * S + 4096.
constexpr uint32_t kBytesPerPayloadByte = 3;
constexpr uint32_t kBaseTarget = 4096;
// Added to each scaled side before truncation.
constexpr double kSideMargin = 3.0;
constexpr uint32_t kBitsPerPixel = 24;
constexpr uint32_t kBytesPerPixel = 3;
// Colour bits a pixel contributes; a 32-bit source's fourth byte is dropped.
constexpr uint32_t kRgbBits = 0x00FFFFFF;
// The written file's size field must hold the headers and the rows.
constexpr uint64_t kMaxRowBytes = std::numeric_limits<uint32_t>::max() - bmp::kPlainPixelOffset;

// Destination index i covers source indices First[i] up to End[i]: a
// reduction gives each destination pixel a run of source pixels, an
// enlargement repeats one source pixel. The runs cover every source index
// once (reduction) or are single indices in order (enlargement).
struct Spans {
    std::vector<int32_t> First;
    std::vector<int32_t> End;

    Spans(int32_t size, int32_t count)
        : First(size_t(count))
        , End(size_t(count))
    {
        for (size_t i = 0; i < size_t(count); ++i) {
            First[i] = static_cast<int32_t>(int64_t(i) * size / count);
            const auto next = static_cast<int32_t>(int64_t(i + 1) * size / count);
            End[i] = std::max(next, First[i] + 1);
        }
    }

    bool SameAsPrevious(size_t i) const { return i > 0 && First[i] == First[i - 1] && End[i] == End[i - 1]; }
};

uint32_t LoadRgb(const uint8_t* pixel)
{
    return uint32_t(pixel[0]) | uint32_t(pixel[1]) << 8 | uint32_t(pixel[2]) << 16;
}

// ANDs one source row into the accumulated destination row.
void AndRow(const uint8_t* source, size_t bytesPerPixel, const Spans& columns, std::vector<uint32_t>& accumulated)
{
    for (size_t dx = 0; dx < accumulated.size(); ++dx) {
        uint32_t value = accumulated[dx];
        const int32_t end = columns.End[dx];
        for (int32_t sx = columns.First[dx]; sx < end; ++sx)
            value &= LoadRgb(source + size_t(sx) * bytesPerPixel);
        accumulated[dx] = value;
    }
}

void StoreRow(const std::vector<uint32_t>& accumulated, uint8_t* dest)
{
    for (uint32_t value : accumulated) {
        dest[0] = static_cast<uint8_t>(value);
        dest[1] = static_cast<uint8_t>(value >> 8);
        dest[2] = static_cast<uint8_t>(value >> 16);
        dest += kBytesPerPixel;
    }
}

bool IsStretchableSource(const DibImage& source)
{
    return source.IsValid() && (source.BitCount() == 24 || source.BitCount() == 32);
}

} // namespace

uint32_t ScaledImage::ShrinkTarget(uint32_t payloadSize)
{
    return kBytesPerPayloadByte * payloadSize + kBaseTarget;
}

// Every source pixel of a reduced picture is read once; a destination row
// that repeats the previous one's source rows is copied from it.
void ScaledImage::CreateScaled(const DibImage& source, int32_t width, int32_t height)
{
    Release();
    if (!IsStretchableSource(source) || width <= 0 || height <= 0)
        return;
    const uint64_t stride = bmp::Stride64(kBitsPerPixel, uint64_t(width));
    if (stride * uint64_t(height) > kMaxRowBytes)
        return;
    try {
        Pixels.resize(stride * uint64_t(height));
        ScaledWidth = width;
        ScaledHeight = height;
        Stretch(source, size_t(stride));
    } catch (const std::bad_alloc&) {
        Release();
    }
}

// Rows run bottom-up in both pictures.
void ScaledImage::Stretch(const DibImage& source, size_t stride)
{
    const Spans columns(source.Width(), ScaledWidth);
    const Spans rows(source.Height(), ScaledHeight);
    const size_t sourceBytesPerPixel = source.BitCount() / 8u;
    std::vector<uint32_t> accumulated(static_cast<size_t>(ScaledWidth));
    for (size_t dy = 0; dy < size_t(ScaledHeight); ++dy) {
        uint8_t* dest = Pixels.data() + dy * stride;
        if (rows.SameAsPrevious(dy)) {
            std::copy_n(dest - stride, stride, dest);
            continue;
        }
        std::fill(accumulated.begin(), accumulated.end(), kRgbBits);
        for (int32_t sy = rows.First[dy]; sy < rows.End[dy]; ++sy)
            AndRow(source.Pixels().data() + size_t(sy) * source.Stride(), sourceBytesPerPixel, columns, accumulated);
        StoreRow(accumulated, dest);
    }
}

// scale = sqrt(T / (h * w)) with T and w first rounded to single precision
// and the product and quotient formed in double; each side is then
// truncated from side * scale + 3. Sizes too large for an int leave the
// picture empty.
void ScaledImage::CreateForTarget(const DibImage& source, uint32_t target)
{
    const int32_t w = source.Width();
    const int32_t h = source.Height();
    if (w <= 0 || h <= 0) {
        Release();
        return;
    }
    const double singleTarget = static_cast<float>(target);
    const double singleWidth = static_cast<float>(w);
    const double scale = std::sqrt(singleTarget / (static_cast<double>(h) * singleWidth));
    const double newWidth = static_cast<double>(w) * scale + kSideMargin;
    const double newHeight = static_cast<double>(h) * scale + kSideMargin;
    constexpr double kLimit = std::numeric_limits<int32_t>::max();
    if (!(newWidth < kLimit && newHeight < kLimit)) {
        Release();
        return;
    }
    CreateScaled(source, static_cast<int32_t>(newWidth), static_cast<int32_t>(newHeight));
}

uint32_t ScaledImage::Write(std::ostream& file) const
{
    return WriteBmp24(file, ScaledWidth, ScaledHeight, Pixels);
}

uint32_t ScaledImage::Save(const std::string& path)
{
    return SaveBmp24(path, ScaledWidth, ScaledHeight, Pixels);
}

void ScaledImage::Release()
{
    std::vector<uint8_t>().swap(Pixels);
    ScaledWidth = ScaledHeight = 0;
}

} // namespace lumaquill
