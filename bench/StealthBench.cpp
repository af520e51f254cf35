// Stealth images: Hide and Open of a payload at the safe size in a 1- and a
// 12-megapixel photo-like picture (24-bit, made in memory), each with its
// one Argon2id (64 MiB, 3 passes), which BM_Argon2id shows alone. Peak
// memory: run one case under /usr/bin/time -v, e.g.
//   /usr/bin/time -v build/bench/bench_stealth --benchmark_filter='BM_Hide/12'

#include "BenchPhoto.h"
#include "image/DibImage.h"
#include "seal/SealedKey.h"
#include "stealth/StealthCodec.h"
#include "stealth/StealthSizes.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <map>
#include <string>

namespace lumaquill::stealth {
namespace {

const SecretBytes& Password()
{
    static const SecretBytes password(std::string_view("correct horse"));
    return password;
}

struct Size {
    uint32_t Width;
    uint32_t Height;
};

Size SizeOf(int64_t megapixels)
{
    return megapixels == 12 ? Size { 4000, 3000 } : Size { 1155, 866 };
}

const DibImage& Cover(int64_t megapixels)
{
    static std::map<int64_t, DibImage> covers;
    auto found = covers.find(megapixels);
    if (found == covers.end()) {
        const Size size = SizeOf(megapixels);
        found = covers.emplace(megapixels, bench::PhotoLike(size.Width, size.Height)).first;
    }
    return found->second;
}

std::vector<uint8_t> SafeContent(const DibImage& cover)
{
    const uint64_t bytes = SizesFor(cover.Width(), cover.Height()).Safe;
    std::vector<uint8_t> content(bytes);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = uint8_t(bench::Hash(uint32_t(i)));
    return content;
}

void BM_Hide(benchmark::State& state)
{
    const DibImage& cover = Cover(state.range(0));
    const std::vector<uint8_t> content = SafeContent(cover);
    for (auto _ : state) {
        state.PauseTiming();
        DibImage stego = cover;
        state.ResumeTiming();
        if (Hide(stego, Password(), content, "payload.bin", nullptr) != StealthStatus::Done)
            state.SkipWithError("not hidden");
    }
    state.counters["payload_bytes"] = double(content.size());
}
BENCHMARK(BM_Hide)->ArgName("megapixels")->Arg(1)->Arg(12)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_Open(benchmark::State& state)
{
    DibImage stego = Cover(state.range(0));
    const std::vector<uint8_t> content = SafeContent(stego);
    Hide(stego, Password(), content, "payload.bin", nullptr);
    std::vector<uint8_t> opened;
    std::string name;
    for (auto _ : state) {
        if (Open(stego, Password(), opened, name, nullptr) != StealthStatus::Done || opened != content)
            state.SkipWithError("not opened");
    }
}
BENCHMARK(BM_Open)->ArgName("megapixels")->Arg(1)->Arg(12)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_Argon2id(benchmark::State& state)
{
    const SealedKey::Salt salt = {};
    for (auto _ : state)
        benchmark::DoNotOptimize(SealedKey::Derive(Password().Span(), salt));
}
BENCHMARK(BM_Argon2id)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace lumaquill::stealth

BENCHMARK_MAIN();
