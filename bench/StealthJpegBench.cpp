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

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace lumaquill::stealth {
namespace {

constexpr int kQuality = 90;

const SecretBytes& Password()
{
    static const SecretBytes password(std::string_view("correct horse"));
    return password;
}

// The picture's rows are stored bottom-up as blue, green, red.
std::vector<uint8_t> Compress(const DibImage& picture)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(picture.Width());
    info.image_height = JDIMENSION(picture.Height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kQuality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const size_t stored = size_t(picture.Height()) - 1 - info.next_scanline;
        JSAMPROW row = const_cast<uint8_t*>(picture.Pixels().data()) + stored * picture.Stride();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
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
BENCHMARK(BM_HideJpeg)
    ->ArgName("megapixels")
    ->Arg(1)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

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
BENCHMARK(BM_OpenJpeg)
    ->ArgName("megapixels")
    ->Arg(1)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace
} // namespace lumaquill::stealth

BENCHMARK_MAIN();
