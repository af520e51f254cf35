#include "image/ScaledImage.h"

#include "image/BmpFormat.h"
#include "image/DibImage.h"
#include "image/PictureLimits.h"
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

// The source pixels one axis of the stretch takes for each destination
// pixel, with integer weights that sum to Total for every destination pixel.
// Destination pixel i takes Taps[First[i]] up to Taps[First[i + 1]].
struct AxisWeights {
    struct Tap {
        int32_t Source;
        uint64_t Weight;
    };
    uint64_t Total = 0;
    std::vector<size_t> First;
    std::vector<Tap> Taps;
};

// D <= S: destination pixel i covers [i*S, (i+1)*S) and source pixel j
// covers [j*D, (j+1)*D), both in 1/D of a source pixel; the weight is the
// overlap.
AxisWeights AreaWeights(int32_t sourceSize, int32_t size)
{
    const int64_t s = sourceSize;
    const int64_t d = size;
    AxisWeights axis;
    axis.Total = uint64_t(s);
    for (int64_t i = 0; i < d; ++i) {
        axis.First.push_back(axis.Taps.size());
        const int64_t begin = i * s;
        const int64_t end = (i + 1) * s;
        for (int64_t j = begin / d; j * d < end; ++j) {
            const int64_t overlap = std::min(end, (j + 1) * d) - std::max(begin, j * d);
            axis.Taps.push_back({ static_cast<int32_t>(j), uint64_t(overlap) });
        }
    }
    axis.First.push_back(axis.Taps.size());
    return axis;
}

// D > S: destination pixel i samples at n / (2D) source pixels with
// n = max(0, (2i+1)*S - D), between source pixels j = n / (2D) and
// min(j+1, S-1), which get 2D - f and f for f = n mod (2D).
AxisWeights BilinearWeights(int32_t sourceSize, int32_t size)
{
    const int64_t s = sourceSize;
    const int64_t twiceD = 2 * int64_t(size);
    AxisWeights axis;
    axis.Total = uint64_t(twiceD);
    for (int64_t i = 0; i < size; ++i) {
        axis.First.push_back(axis.Taps.size());
        const int64_t n = std::max<int64_t>(0, (2 * i + 1) * s - size);
        const int64_t j = n / twiceD;
        const int64_t f = n % twiceD;
        axis.Taps.push_back({ static_cast<int32_t>(j), uint64_t(twiceD - f) });
        if (f > 0)
            axis.Taps.push_back({ static_cast<int32_t>(std::min(j + 1, s - 1)), uint64_t(f) });
    }
    axis.First.push_back(axis.Taps.size());
    return axis;
}

AxisWeights WeightsFor(int32_t sourceSize, int32_t size)
{
    return size <= sourceSize ? AreaWeights(sourceSize, size) : BilinearWeights(sourceSize, size);
}

// One source row filtered along the columns: three channel sums (blue,
// green, red) per destination column, each at most Wx * 255.
void FilterRow(const uint8_t* row, size_t bytesPerPixel, const AxisWeights& columns, std::vector<uint64_t>& sums)
{
    const size_t width = columns.First.size() - 1;
    for (size_t x = 0; x < width; ++x) {
        uint64_t blue = 0, green = 0, red = 0;
        for (size_t t = columns.First[x]; t < columns.First[x + 1]; ++t) {
            const uint8_t* pixel = row + size_t(columns.Taps[t].Source) * bytesPerPixel;
            const uint64_t weight = columns.Taps[t].Weight;
            blue += weight * pixel[0];
            green += weight * pixel[1];
            red += weight * pixel[2];
        }
        sums[3 * x] = blue;
        sums[3 * x + 1] = green;
        sums[3 * x + 2] = red;
    }
}

// The column-filtered source rows, each computed once: consecutive
// destination rows take the same or later source rows, and share at most
// the boundary ones, so two rows are kept.
class FilteredRows {
public:
    FilteredRows(const DibImage& source, const AxisWeights& columns)
        : Source(source)
        , Columns(columns)
    {
        for (Slot& slot : Slots)
            slot.Sums.resize(3 * (columns.First.size() - 1));
    }

    const std::vector<uint64_t>& Row(int32_t index)
    {
        for (Slot& slot : Slots) {
            if (slot.Index == index)
                return slot.Sums;
        }
        Slot& slot = Slots[Next];
        Next = 1 - Next;
        slot.Index = index;
        FilterRow(Source.Pixels().data() + size_t(index) * Source.Stride(), Source.BitCount() / 8u, Columns, slot.Sums);
        return slot.Sums;
    }

private:
    struct Slot {
        int32_t Index = -1;
        std::vector<uint64_t> Sums;
    };

    const DibImage& Source;
    const AxisWeights& Columns;
    Slot Slots[2];
    int Next = 0;
};

bool IsStretchableSource(const DibImage& source)
{
    return source.IsValid() && (source.BitCount() == 24 || source.BitCount() == 32);
}

} // namespace

uint32_t ScaledImage::ShrinkTarget(uint32_t payloadSize)
{
    return kBytesPerPayloadByte * payloadSize + kBaseTarget;
}

// Every source pixel of a reduced picture is read once.
void ScaledImage::CreateScaled(const DibImage& source, int32_t width, int32_t height)
{
    Release();
    if (!IsStretchableSource(source) || !limits::Fits(uint64_t(width), uint64_t(height), kBitsPerPixel))
        return;
    const uint64_t stride = bmp::Stride64(kBitsPerPixel, uint64_t(width));
    try {
        Pixels.resize(stride * uint64_t(height));
        ScaledWidth = width;
        ScaledHeight = height;
        if (!Stretch(source, size_t(stride)))
            Release();
    } catch (const std::bad_alloc&) {
        Release();
    }
}

// Rows run bottom-up in both pictures. A size whose weight products could
// overflow 64 bits (far beyond any picture that fits in memory) is refused.
bool ScaledImage::Stretch(const DibImage& source, size_t stride)
{
    const AxisWeights columns = WeightsFor(source.Width(), ScaledWidth);
    const AxisWeights rows = WeightsFor(source.Height(), ScaledHeight);
    // 255 per channel, plus half the total for the rounding.
    constexpr uint64_t kMaxChannel = 256;
    if (columns.Total > std::numeric_limits<uint64_t>::max() / kMaxChannel / rows.Total)
        return false;
    const uint64_t total = columns.Total * rows.Total;
    FilteredRows filtered(source, columns);
    std::vector<uint64_t> sums(3 * size_t(ScaledWidth));
    for (size_t y = 0; y < size_t(ScaledHeight); ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (size_t t = rows.First[y]; t < rows.First[y + 1]; ++t) {
            const std::vector<uint64_t>& row = filtered.Row(rows.Taps[t].Source);
            for (size_t c = 0; c < sums.size(); ++c)
                sums[c] += rows.Taps[t].Weight * row[c];
        }
        uint8_t* dest = Pixels.data() + y * stride;
        for (size_t c = 0; c < sums.size(); ++c)
            dest[c] = static_cast<uint8_t>((sums[c] + total / 2) / total);
    }
    return true;
}

// scale = sqrt(T / (h * w)) with T and w first rounded to single precision
// and the product and quotient formed in double; each side is then
// truncated from side * scale + 3. Sizes too large for an int leave the
// picture empty.
bool ScaledImage::SizeForTarget(int32_t w, int32_t h, uint32_t target, int32_t& width, int32_t& height)
{
    if (w <= 0 || h <= 0)
        return false;
    const double singleTarget = static_cast<float>(target);
    const double singleWidth = static_cast<float>(w);
    const double scale = std::sqrt(singleTarget / (static_cast<double>(h) * singleWidth));
    const double newWidth = static_cast<double>(w) * scale + kSideMargin;
    const double newHeight = static_cast<double>(h) * scale + kSideMargin;
    constexpr double kLimit = std::numeric_limits<int32_t>::max();
    if (!(newWidth < kLimit && newHeight < kLimit))
        return false;
    width = static_cast<int32_t>(newWidth);
    height = static_cast<int32_t>(newHeight);
    return true;
}

void ScaledImage::CreateForTarget(const DibImage& source, uint32_t target)
{
    int32_t width = 0;
    int32_t height = 0;
    if (!SizeForTarget(source.Width(), source.Height(), target, width, height)) {
        Release();
        return;
    }
    CreateScaled(source, width, height);
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
