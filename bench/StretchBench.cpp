// Speed of ScaledImage's stretch on a 12-megapixel (4000 x 3000) picture:
// the preview of a large photo fitted to a screen (reduced by area
// average) and the shrink of a container, and a small picture enlarged
// bilinearly to screen size. Previews are made afresh on every repaint.

#include "core/ByteOrder.h"
#include "image/DibImage.h"
#include "image/ScaledImage.h"

#include <benchmark/benchmark.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using lumaquill::DibImage;
using lumaquill::ScaledImage;

// A 24-bit bitmap file of varied pixels, built in memory.
std::string MakeBitmap(int32_t width, int32_t height)
{
    const uint32_t stride = ((24u * uint32_t(width) + 31) / 32) * 4;
    std::vector<uint8_t> file(54 + size_t(stride) * uint32_t(height));
    for (size_t i = 54; i < file.size(); ++i)
        file[i] = uint8_t(i * 2654435761u >> 13);
    uint8_t* p = file.data();
    std::fill(p, p + 54, uint8_t(0));
    p[0] = 'B';
    p[1] = 'M';
    lumaquill::Store32Le(p + 2, uint32_t(file.size()));
    lumaquill::Store32Le(p + 10, 54);
    lumaquill::Store32Le(p + 14, 40);
    lumaquill::Store32Le(p + 18, uint32_t(width));
    lumaquill::Store32Le(p + 22, uint32_t(height));
    lumaquill::Store16Le(p + 26, 1);
    lumaquill::Store16Le(p + 28, 24);
    return std::string(file.begin(), file.end());
}

const DibImage& Picture(int32_t width, int32_t height)
{
    static DibImage image;
    if (image.Width() != width || image.Height() != height) {
        std::istringstream file(MakeBitmap(width, height));
        image.Read(file);
    }
    return image;
}

void Stretch(benchmark::State& state, int32_t fromWidth, int32_t fromHeight)
{
    const DibImage& source = Picture(fromWidth, fromHeight);
    const auto width = static_cast<int32_t>(state.range(0));
    const auto height = static_cast<int32_t>(state.range(1));
    for (auto _ : state) {
        ScaledImage scaled;
        scaled.CreateScaled(source, width, height);
        benchmark::DoNotOptimize(scaled.Rows().data());
    }
    state.counters["source Mpx/s"]
        = benchmark::Counter(double(fromWidth) * fromHeight, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ReduceLargePhoto(benchmark::State& state)
{
    Stretch(state, 4000, 3000);
}
// Fitted to 1600 x 1200 at 90%, the same at 2x device pixels, and the
// container shrunk for a 100 kB payload.
BENCHMARK(BM_ReduceLargePhoto)
    ->Args({ 1440, 1080 })
    ->Args({ 2880, 2160 })
    ->Args({ 632, 474 })
    ->Unit(benchmark::kMillisecond);

void BM_EnlargeSmallPicture(benchmark::State& state)
{
    Stretch(state, 320, 240);
}
BENCHMARK(BM_EnlargeSmallPicture)->Args({ 1440, 1080 })->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
