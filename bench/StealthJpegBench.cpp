// Stealth JPEGs: HideFile and OpenFile of a payload at the safe size in a 1-
// and a 12-megapixel photo-like JPEG (quality 90, 4:2:0, optimised Huffman
// tables, made in memory with libjpeg-turbo), each with its one Argon2id
// (64 MiB, 3 passes), which BM_Argon2id in bench_stealth shows alone. The
// counters give the payload, the cover's and the output's size.

#include "BenchPhoto.h"
#include "image/DibImage.h"
#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"
#include "stealth/JpegStealthCodec.h"
#include "support/JpegFixture.h"

#include <benchmark/benchmark.h>
#include <map>
#include <string>

namespace lumaquill::stealth {
namespace {

constexpr int kQuality = 90;

const SecretBytes& Password()
{
    static const SecretBytes password(std::string_view("correct horse"));
    return password;
}

// The picture's rows are stored bottom-up as blue, green, red; the
// compressor takes them top-down as red, green, blue.
std::vector<uint8_t> Compress(const DibImage& picture)
{
    const size_t width = size_t(picture.Width());
    std::vector<uint8_t> rgb(width * size_t(picture.Height()) * 3);
    for (size_t y = 0; y < size_t(picture.Height()); ++y) {
        const uint8_t* row = picture.Pixels().data() + (size_t(picture.Height()) - 1 - y) * picture.Stride();
        for (size_t i = 0; i < 3 * width; i += 3) {
            rgb[y * 3 * width + i] = row[i + 2];
            rgb[y * 3 * width + i + 1] = row[i + 1];
            rgb[y * 3 * width + i + 2] = row[i];
        }
    }
    test::JpegRecipe recipe = test::Recipe(uint32_t(picture.Width()), uint32_t(picture.Height()), kQuality, 2, 2);
    return test::CompressJpeg(rgb, recipe);
}

// 1: 1152 x 864; 12: 4000 x 3000.
const std::vector<uint8_t>& Cover(int64_t megapixels)
{
    static std::map<int64_t, std::vector<uint8_t>> covers;
    auto found = covers.find(megapixels);
    if (found == covers.end()) {
        const DibImage picture = megapixels == 12 ? bench::PhotoLike(4000, 3000) : bench::PhotoLike(1152, 864);
        found = covers.emplace(megapixels, Compress(picture)).first;
    }
    return found->second;
}

std::vector<uint8_t> SafeContent(const std::vector<uint8_t>& cover)
{
    JpegCoefficients jpeg;
    std::string detail;
    JpegCoefficientFile::Read(cover, jpeg, detail);
    std::vector<uint8_t> content(JpegStealthCodec::SizesFor(jpeg).Safe);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = uint8_t(bench::Hash(uint32_t(i)));
    return content;
}

// Each benchmark on both covers, twice: each run takes seconds.
void Covers(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgName("megapixels")->Arg(1)->Arg(12)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
}

void BM_HideJpeg(benchmark::State& state)
{
    const std::vector<uint8_t>& cover = Cover(state.range(0));
    const std::vector<uint8_t> content = SafeContent(cover);
    std::vector<uint8_t> stego;
    for (auto _ : state) {
        if (JpegStealthCodec::HideFile(cover, Password(), content, "payload.bin", stego, nullptr)
            != StealthStatus::Done)
            state.SkipWithError("not hidden");
    }
    state.counters["payload_bytes"] = double(content.size());
    state.counters["cover_bytes"] = double(cover.size());
    state.counters["stego_bytes"] = double(stego.size());
}
BENCHMARK(BM_HideJpeg)->Apply(Covers);

void BM_OpenJpeg(benchmark::State& state)
{
    const std::vector<uint8_t>& cover = Cover(state.range(0));
    const std::vector<uint8_t> content = SafeContent(cover);
    std::vector<uint8_t> stego;
    JpegStealthCodec::HideFile(cover, Password(), content, "payload.bin", stego, nullptr);
    std::vector<uint8_t> opened;
    std::string name;
    for (auto _ : state) {
        if (JpegStealthCodec::OpenFile(stego, Password(), opened, name, nullptr) != StealthStatus::Done
            || opened != content)
            state.SkipWithError("not opened");
    }
}
BENCHMARK(BM_OpenJpeg)->Apply(Covers);

} // namespace
} // namespace lumaquill::stealth

BENCHMARK_MAIN();
