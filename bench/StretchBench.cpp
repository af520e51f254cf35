// Speed of ScaledImage's stretch on a 12-megapixel (4000 x 3000) picture:
// the preview of a large photo fitted to a screen (reduced by area
// average) and the shrink of a container, and a small picture enlarged
// bilinearly to screen size. Previews are made afresh on every repaint.

#include "BenchBitmap.h"
#include "image/DibImage.h"
#include "image/ScaledImage.h"

#include <benchmark/benchmark.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using lumaquill::DibImage;
using lumaquill::ScaledImage;

const DibImage& Picture(int32_t width, int32_t height)
{
    static DibImage image;
    if (image.Width() != width || image.Height() != height) {
        std::istringstream file(
            lumaquill::bench::MakeBitmap(width, height, [](size_t i) { return uint8_t(i * 2654435761u >> 13); }));
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
