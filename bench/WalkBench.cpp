// Speed of the pixel walk: raw attempts of the random walk, a complete
// random walk over a 12-megapixel container, and a complete sequential walk
// over the same container.

#include "BenchBitmap.h"
#include "engine/StegEngine.h"
#include "keys/IsaacGen.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using lumaquill::Position;
using lumaquill::StegEngine;

constexpr int32_t kLargeWidth = 4000;
constexpr int32_t kLargeHeight = 3000;
constexpr Position kNone { -1, -1 };

bool Load(StegEngine& engine, int32_t width, int32_t height)
{
    std::istringstream file(lumaquill::bench::MakeBitmap(width, height, [](size_t) { return uint8_t(0x80); }));
    engine.Read(file);
    if (!engine.IsUsableContainer())
        return false;
    engine.UsedPixels.Resize(engine.Width(), engine.Height());
    return true;
}

void Rekey(StegEngine& engine)
{
    std::array<uint8_t, lumaquill::IsaacGen::kKeyBytes> key {};
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = uint8_t(i * 11 + 3);
    engine.PositionGen.Reseed(key.data());
}

// Every cell of a 100 x 100 map used but the walk kept willing: each call
// makes its full 2 x W x H = 20000 rejected attempts, then finds the
// fallback scan spent.
void BM_RandomWalkAttempts(benchmark::State& state)
{
    constexpr int32_t kSide = 100;
    StegEngine engine;
    if (!Load(engine, kSide, kSide)) {
        state.SkipWithError("container not loaded");
        return;
    }
    for (int32_t y = 0; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x)
            engine.UsedPixels.Mark(x, y);
    }
    engine.UsedPixels.Remaining = 1 << 20;
    Rekey(engine);
    for (auto _ : state) {
        engine.FallbackScan = 0;
        benchmark::DoNotOptimize(engine.NextPosition());
    }
    state.SetItemsProcessed(state.iterations() * 2 * kSide * kSide);
}
BENCHMARK(BM_RandomWalkAttempts)->Unit(benchmark::kMillisecond);

// Walks a fresh map until the walk refuses (fewer than 100 free interior
// cells), marking each position as the byte operations do.
void WalkToTheEnd(benchmark::State& state, bool sequential)
{
    static StegEngine engine;
    static const bool loaded = Load(engine, kLargeWidth, kLargeHeight);
    if (!loaded) {
        state.SkipWithError("container not loaded");
        return;
    }
    int64_t positions = 0;
    for (auto _ : state) {
        engine.UsedPixels.Reset();
        engine.FallbackScan = 0;
        engine.HeaderMode = sequential ? 1 : 0;
        Rekey(engine);
        for (Position p = engine.NextPosition(); p != kNone; p = engine.NextPosition()) {
            engine.UsedPixels.Mark(p.X, p.Y);
            ++positions;
        }
    }
    engine.HeaderMode = 0;
    state.SetItemsProcessed(positions);
    state.counters["positions"] = benchmark::Counter(double(positions), benchmark::Counter::kAvgIterations);
    state.counters["fallback"] = engine.FallbackScan;
}

void BM_CompleteRandomWalk4000x3000(benchmark::State& state)
{
    WalkToTheEnd(state, false);
}
BENCHMARK(BM_CompleteRandomWalk4000x3000)->Unit(benchmark::kSecond)->Iterations(1);

void BM_CompleteSequentialWalk4000x3000(benchmark::State& state)
{
    WalkToTheEnd(state, true);
}
BENCHMARK(BM_CompleteSequentialWalk4000x3000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
