#include "keys/IsaacGen.h"
#include "keys/MersenneGen.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

using lumaquill::IsaacGen;
using lumaquill::MersenneGen;

IsaacGen Keyed()
{
    std::array<uint8_t, IsaacGen::kKeyBytes> key {};
    for (size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    IsaacGen gen;
    gen.Reseed(key.data());
    return gen;
}

// The pixel walk's attempt: x then y, on a 4000 x 3000 container.
void BM_IsaacGenRangeWalkPair(benchmark::State& state)
{
    IsaacGen gen = Keyed();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gen.Range(1, 3999));
        benchmark::DoNotOptimize(gen.Range(1, 2999));
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_IsaacGenRangeWalkPair);

// The whitening draw, one per byte.
void BM_IsaacGenRangeByte(benchmark::State& state)
{
    IsaacGen gen = Keyed();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gen.Range(0, 255));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IsaacGenRangeByte);

void BM_IsaacGenReseed(benchmark::State& state)
{
    IsaacGen gen;
    std::array<uint8_t, IsaacGen::kKeyBytes> key {};
    for (auto _ : state) {
        gen.Reseed(key.data());
        ++key[0];
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IsaacGenReseed);

void BM_MersenneNext32(benchmark::State& state)
{
    MersenneGen gen;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gen.Next32());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MersenneNext32);

// The password strengthening's bit draw.
void BM_MersenneRangeBit(benchmark::State& state)
{
    MersenneGen gen;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gen.Range(0, 1));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MersenneRangeBit);

void BM_IsaacCoreNextUnit(benchmark::State& state)
{
    std::array<uint32_t, lumaquill::IsaacCore::kWords> seed {};
    lumaquill::IsaacCore core;
    core.Init(seed.data());
    for (auto _ : state) {
        benchmark::DoNotOptimize(core.NextUnit());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IsaacCoreNextUnit);

void BM_Tt800CoreNextUnit(benchmark::State& state)
{
    std::array<uint32_t, lumaquill::Tt800Core::kWords> seed {};
    seed.fill(0x9E3779B9u);
    lumaquill::Tt800Core core;
    core.Init(seed.data());
    for (auto _ : state) {
        benchmark::DoNotOptimize(core.NextUnit());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Tt800CoreNextUnit);

void BM_IsaacGenNextUnit(benchmark::State& state)
{
    IsaacGen gen = Keyed();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gen.NextUnit());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IsaacGenNextUnit);

} // namespace

BENCHMARK_MAIN();
