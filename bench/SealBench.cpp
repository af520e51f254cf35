// What sealing adds to an encode and a decode, through the same flows the
// dialogs and lumaquill-cli use: a text of 10 000 equal characters (a
// stream of a few dozen bytes, so the figures are what sealing adds rather
// than what the payload costs) in a 400 x 400 picture at speed 0, with and
// without sealing. The sealed encode adds two
// Argon2id (envelope key and T'); the sealed decode adds a first attempt
// keyed with the password itself, which fails, one Argon2id for T' and one
// for the envelope key. The failed attempt reads a ModeByte that is random
// for the image, so its strengthening costs 0 to 10^7 passes: the figure is
// for this image only (BM_FirstAttempt shows it alone).

#include "engine/StegEngine.h"
#include "flows/DecodeFlow.h"
#include "flows/EncodeFlow.h"
#include "flows/Payload.h"
#include "flows/SealedRequest.h"
#include "image/NoiseImage.h"
#include "keys/QuestionSet.h"
#include "seal/SealedKey.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace lumaquill {
namespace {

constexpr const char* kPassword = "correct horse";

std::string ScratchPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + name)).string();
}

// The container file, written once per process.
const std::string& ContainerPath()
{
    static const std::string path = [] {
        const std::string file = ScratchPath("-sealbench-container.bmp");
        NoiseImage noise;
        noise.Create(398);
        noise.Save(file);
        return file;
    }();
    return path;
}

EncodeRequest Request(bool seal)
{
    const std::string text(10000, 'x');
    EncodeRequest request;
    request.Payload = *CompressPayload(text);
    request.OriginalSize = text.size();
    request.Key = KeyDigests::FromText(kPassword);
    request.Seal = seal;
    if (seal)
        request.Password = SecretBytes(std::string_view(kPassword));
    return request;
}

void BM_Encode(benchmark::State& state)
{
    const EncodeRequest request = Request(state.range(0) != 0);
    StegEngine engine;
    for (auto _ : state) {
        engine.LoadContainer(ContainerPath());
        benchmark::DoNotOptimize(RunEncode(engine, request));
    }
}
BENCHMARK(BM_Encode)->ArgName("sealed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The encoded image, saved once per kind.
const std::string& EncodedPath(bool seal)
{
    static std::string paths[2];
    std::string& path = paths[seal ? 1 : 0];
    if (path.empty()) {
        path = ScratchPath(seal ? "-sealbench-sealed.bmp" : "-sealbench-plain.bmp");
        StegEngine engine;
        engine.LoadContainer(ContainerPath());
        RunEncode(engine, Request(seal));
        engine.SaveContainer(path, PictureFormat::Bmp);
    }
    return path;
}

void BM_Decode(benchmark::State& state)
{
    const bool seal = state.range(0) != 0;
    const SecretBytes password { std::string_view(kPassword) };
    StegEngine engine;
    engine.LoadContainer(EncodedPath(seal));
    std::string holder;
    for (auto _ : state) {
        QuestionSet questions;
        engine.ReadStoredQuestions(questions);
        if (RunDecode(engine, KeyDigests::FromText(kPassword), holder, &password) != TextDecoded)
            state.SkipWithError("did not decode");
    }
}
BENCHMARK(BM_Decode)->ArgName("sealed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sealed image keyed with the password itself, without the retry: the
// part of the sealed decode that depends on the image.
void BM_FirstAttempt(benchmark::State& state)
{
    StegEngine engine;
    engine.LoadContainer(EncodedPath(true));
    std::string holder;
    for (auto _ : state) {
        QuestionSet questions;
        engine.ReadStoredQuestions(questions);
        benchmark::DoNotOptimize(RunDecode(engine, KeyDigests::FromText(kPassword), holder));
    }
}
BENCHMARK(BM_FirstAttempt)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Argon2id(benchmark::State& state)
{
    const SecretBytes password { std::string_view(kPassword) };
    for (auto _ : state)
        benchmark::DoNotOptimize(SealedKey::StoredKeyText(password.Span()));
}
BENCHMARK(BM_Argon2id)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace lumaquill

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* name : { "-sealbench-container.bmp", "-sealbench-sealed.bmp", "-sealbench-plain.bmp" })
        std::remove(lumaquill::ScratchPath(name).c_str());
    return 0;
}
