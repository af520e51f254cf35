#include "stealth/HillCost.h"

#include "image/DibImage.h"
#include "stealth/ElementSamples.h"

#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <new>
#include <span>

namespace lumaquill::stealth {

namespace {

// A flat residual (0 over a 3 x 3 window) costs 1 / kEpsilon: never changed
// while any other way remains.
constexpr float kEpsilon = 1e-10f;

constexpr std::array<float, 3> kHighPass = { -1.0f, 2.0f, -1.0f };
constexpr std::array<float, 3> kSmallAverage = { 1.0f / 3, 1.0f / 3, 1.0f / 3 };
constexpr size_t kLargeWidth = 15;

std::array<float, kLargeWidth> LargeAverage()
{
    std::array<float, kLargeWidth> taps;
    taps.fill(1.0f / float(kLargeWidth));
    return taps;
}

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

// out = in filtered along rows by taps (odd count, centred).
void FilterRows(const Plane& in, Plane& out, std::span<const float> taps, std::vector<float>& padded)
{
    const int64_t r = int64_t(taps.size() / 2);
    padded.resize(size_t(in.Width + 2 * r));
    for (int64_t y = 0; y < in.Height; ++y) {
        const float* row = in.Row(y);
        for (int64_t x = -r; x < in.Width + r; ++x)
            padded[size_t(x + r)] = row[Mirror(x, in.Width)];
        float* target = out.Row(y);
        std::fill(target, target + in.Width, 0.0f);
        for (size_t d = 0; d < taps.size(); ++d)
            for (int64_t x = 0; x < in.Width; ++x)
                target[x] += taps[d] * padded[size_t(x) + d];
    }
}

// out = in filtered along columns by taps.
void FilterColumns(const Plane& in, Plane& out, std::span<const float> taps)
{
    const int64_t r = int64_t(taps.size() / 2);
    for (int64_t y = 0; y < in.Height; ++y) {
        float* target = out.Row(y);
        std::fill(target, target + in.Width, 0.0f);
        for (int64_t d = -r; d <= r; ++d) {
            const float* row = in.Row(Mirror(y + d, in.Height));
            const float tap = taps[size_t(d + r)];
            for (int64_t x = 0; x < in.Width; ++x)
                target[x] += tap * row[x];
        }
    }
}

// Leaves the result in first; second is scratch.
void Filter(Plane& first, Plane& second, std::span<const float> taps, std::vector<float>& padded)
{
    FilterColumns(first, second, taps);
    FilterRows(second, first, taps, padded);
}

void ReadChannel(const DibImage& image, const ElementSamples& samples, int channel, Plane& plane)
{
    const uint8_t* rows = image.Pixels().data();
    for (int64_t y = 0; y < plane.Height; ++y) {
        float* row = plane.Row(y);
        for (int64_t x = 0; x < plane.Width; ++x)
            row[x] = rows[samples.Offset(uint64_t(3 * (y * plane.Width + x) + channel))];
    }
}

void ChannelCosts(Plane& first, Plane& second, std::vector<float>& padded)
{
    Filter(first, second, kHighPass, padded);
    for (float& value : first.Values)
        value = std::fabs(value);
    Filter(first, second, kSmallAverage, padded);
    for (float& value : first.Values)
        value = 1.0f / (value + kEpsilon);
    Filter(first, second, LargeAverage(), padded);
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
    const ElementSamples samples(image);
    Plane first { image.Width(), image.Height(), {} };
    Plane second = first;
    std::vector<float> padded;
    try {
        const size_t pixels = size_t(first.Width) * size_t(first.Height);
        costs.resize(3 * pixels);
        first.Values.resize(pixels);
        second.Values.resize(pixels);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int channel = 0; channel < 3; ++channel) {
        ReadChannel(image, samples, channel, first);
        ChannelCosts(first, second, padded);
        StoreChannel(first, channel, costs);
    }
    return true;
}

float HillCost::Expand(uint16_t cost)
{
    return std::bit_cast<float>(uint32_t { cost } << 16);
}

} // namespace lumaquill::stealth
