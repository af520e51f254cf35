#include "stealth/HillCost.h"

#include "image/DibImage.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <new>
#include <span>

namespace lumaquill::stealth {

namespace {

// A flat residual (0 over a 3 x 3 window) gives the reciprocal 1 / x its
// cap kMaxReciprocal; any other is at most 9 (|R| is an integer, so its
// 3 x 3 average is at least 1/9). The cap keeps the running sums below
// exact to far below the smallest costs.
constexpr float kMaxReciprocal = 1e4f;

constexpr size_t kSmallWidth = 3;
constexpr size_t kLargeWidth = 15;

// Symmetric mirroring: ... 1 0 | 0 1 ... n-1 | n-1 n-2 ...
int64_t Mirror(int64_t i, int64_t n)
{
    int64_t m = i % (2 * n);
    if (m < 0)
        m += 2 * n;
    return m < n ? m : 2 * n - 1 - m;
}

struct Plane {
    int64_t Width = 0;
    int64_t Height = 0;
    std::vector<float> Values;

    float* Row(int64_t y) { return Values.data() + y * Width; }
    const float* Row(int64_t y) const { return Values.data() + y * Width; }
};

// The line in[0 .. n) mirrored by r on each side into padded.
void PadLine(const float* in, int64_t n, int64_t r, std::vector<double>& padded)
{
    padded.resize(size_t(n + 2 * r));
    for (int64_t x = 0; x < n; ++x)
        padded[size_t(x + r)] = in[x];
    for (int64_t x = 1; x <= r; ++x) {
        padded[size_t(r - x)] = in[Mirror(-x, n)];
        padded[size_t(n - 1 + r + x)] = in[Mirror(n - 1 + x, n)];
    }
}

// [-1 2 -1] along rows, then along columns (the KB kernel, up to its sign).
void HighPass(Plane& first, Plane& second, std::vector<double>& padded)
{
    for (int64_t y = 0; y < first.Height; ++y) {
        PadLine(first.Row(y), first.Width, 1, padded);
        float* out = second.Row(y);
        for (int64_t x = 0; x < first.Width; ++x)
            out[x] = float(2 * padded[size_t(x) + 1] - padded[size_t(x)] - padded[size_t(x) + 2]);
    }
    for (int64_t y = 0; y < first.Height; ++y) {
        const float* above = second.Row(Mirror(y - 1, first.Height));
        const float* centre = second.Row(y);
        const float* below = second.Row(Mirror(y + 1, first.Height));
        float* out = first.Row(y);
        for (int64_t x = 0; x < first.Width; ++x)
            out[x] = std::fabs(2 * centre[x] - above[x] - below[x]);
    }
}

// The average over width x width, by running sums in double: along rows
// into second, then along columns back into first.
void BoxAverage(Plane& first, Plane& second, size_t width, std::vector<double>& padded, std::vector<double>& sums)
{
    const int64_t r = int64_t(width / 2);
    const double scale = 1.0 / double(width * width);
    for (int64_t y = 0; y < first.Height; ++y) {
        PadLine(first.Row(y), first.Width, r, padded);
        double sum = 0;
        for (size_t d = 0; d + 1 < width; ++d)
            sum += padded[d];
        float* out = second.Row(y);
        for (int64_t x = 0; x < first.Width; ++x) {
            sum += padded[size_t(x) + width - 1];
            out[x] = float(sum);
            sum -= padded[size_t(x)];
        }
    }
    sums.assign(size_t(first.Width), 0.0);
    for (int64_t d = -r; d < r; ++d) {
        const float* row = second.Row(Mirror(d, first.Height));
        for (int64_t x = 0; x < first.Width; ++x)
            sums[size_t(x)] += row[x];
    }
    for (int64_t y = 0; y < first.Height; ++y) {
        const float* entering = second.Row(Mirror(y + r, first.Height));
        const float* leaving = second.Row(Mirror(y - r, first.Height));
        float* out = first.Row(y);
        for (int64_t x = 0; x < first.Width; ++x) {
            sums[size_t(x)] += entering[x];
            out[x] = float(sums[size_t(x)] * scale);
            sums[size_t(x)] -= leaving[x];
        }
    }
}

void ReadChannel(const DibImage& image, int channel, Plane& plane)
{
    const size_t pixelBytes = image.BitCount() / 8u;
    // Stored rows run bottom-up, blue, green, red in each pixel.
    const size_t offset = size_t(2 - channel);
    for (int64_t y = 0; y < plane.Height; ++y) {
        const uint8_t* stored = image.Pixels().data() + size_t(plane.Height - 1 - y) * image.Stride() + offset;
        float* row = plane.Row(y);
        for (int64_t x = 0; x < plane.Width; ++x)
            row[x] = stored[size_t(x) * pixelBytes];
    }
}

void ChannelCosts(Plane& first, Plane& second, std::vector<double>& padded, std::vector<double>& sums)
{
    HighPass(first, second, padded);
    BoxAverage(first, second, kSmallWidth, padded, sums);
    for (float& value : first.Values)
        value = value > 0 ? std::min(1.0f / value, kMaxReciprocal) : kMaxReciprocal;
    BoxAverage(first, second, kLargeWidth, padded, sums);
}

void StoreChannel(const Plane& plane, int channel, std::vector<uint16_t>& costs)
{
    const size_t pixels = plane.Values.size();
    for (size_t p = 0; p < pixels; ++p)
        costs[3 * p + size_t(channel)] = static_cast<uint16_t>(std::bit_cast<uint32_t>(plane.Values[p]) >> 16);
}

} // namespace

bool HillCost::Compute(const DibImage& image, std::vector<uint16_t>& costs)
{
    Plane first { image.Width(), image.Height(), {} };
    Plane second = first;
    std::vector<double> padded;
    std::vector<double> sums;
    try {
        const size_t pixels = size_t(first.Width) * size_t(first.Height);
        costs.resize(3 * pixels);
        first.Values.resize(pixels);
        second.Values.resize(pixels);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int channel = 0; channel < 3; ++channel) {
        ReadChannel(image, channel, first);
        ChannelCosts(first, second, padded, sums);
        StoreChannel(first, channel, costs);
    }
    return true;
}

float HillCost::Expand(uint16_t cost)
{
    return std::bit_cast<float>(uint32_t { cost } << 16);
}

} // namespace lumaquill::stealth
