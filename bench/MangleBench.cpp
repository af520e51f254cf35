// The password strengthening chain and the hashing it is made of. Every
// measurement is a dependent chain (each input is the previous output),
// because the strengthening is one: latency, not throughput, is its cost.
//
// The floor to compare BM_Mangle/4 with: a pass averages 27/16 SHA-1
// compressions and one MD5 block, so 10^7 passes cost at least
// 10^7 x (1.69 x t_sha1 + t_md5), with each t the time per 64-byte block
// that `openssl speed -bytes 16384 sha1 md5` reports on the same machine.

#include "keys/KeyMaterial.h"
#include "keys/Md5Digest.h"
#include "keys/Sha1Compress.h"
#include "keys/SpeedSetting.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace lumaquill {
namespace {

void RunMangle(benchmark::State& state, int32_t speed)
{
    for (auto _ : state) {
        KeyMaterial key;
        key.PasswordDigest.fill(0);
        key.PasswordMd5.fill(0);
        key.Mangle(speed, nullptr);
        benchmark::DoNotOptimize(key.PasswordDigest);
    }
    const double passes = PassesForSpeed(speed);
    state.counters["ns_per_pass"] = benchmark::Counter(
        passes * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Mangle(benchmark::State& state)
{
    RunMangle(state, static_cast<int32_t>(state.range(0)));
}
BENCHMARK(BM_Mangle)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

// The "Fast" setting on a processor without SHA extensions.
void BM_ManglePortableSha1(benchmark::State& state)
{
    ForceSha1Compress(Sha1CompressPortable);
    RunMangle(state, static_cast<int32_t>(state.range(0)));
    ForceSha1Compress(nullptr);
}
BENCHMARK(BM_ManglePortableSha1)->Arg(1)->Unit(benchmark::kMillisecond);

void ChainedCompressions(benchmark::State& state, Sha1CompressFunction compress)
{
    if (compress == nullptr) {
        state.SkipWithError("this processor has no SHA extensions");
        return;
    }
    uint32_t h[5] = { 0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u };
    uint32_t words[16] = {};
    for (auto _ : state) {
        compress(h, words);
        words[3] ^= h[0];
    }
    benchmark::DoNotOptimize(h);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 64);
}

void BM_Sha1CompressPortable(benchmark::State& state)
{
    ChainedCompressions(state, Sha1CompressPortable);
}
BENCHMARK(BM_Sha1CompressPortable);

void BM_Sha1CompressShaExtensions(benchmark::State& state)
{
    ChainedCompressions(state, Sha1CompressAccelerated());
}
BENCHMARK(BM_Sha1CompressShaExtensions);

// One block: a 20-byte message is all the chain ever hands MD5.
void BM_Md5Digest20(benchmark::State& state)
{
    uint8_t message[20] = {};
    for (auto _ : state) {
        const Md5Bytes digest = Md5Digest(message, sizeof message);
        std::memcpy(message, digest.data(), digest.size());
    }
    benchmark::DoNotOptimize(message);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 64);
}
BENCHMARK(BM_Md5Digest20);

// The hashing of one pass and nothing else, averaged over the sixteen
// buffer positions: 27 SHA-1 compressions and 16 MD5 blocks per 16 passes,
// all in one dependent chain, with no buffer handling around them.
void BM_PassHashingOnly(benchmark::State& state)
{
    const Sha1CompressFunction compress = ActiveSha1Compress();
    uint32_t h[5] = { 0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u };
    uint32_t words[16] = {};
    // Passes in a cycle of sixteen that take two compressions.
    constexpr uint32_t kTwoCompressionPasses = 0b1111'0101'1110'1010;
    for (auto _ : state) {
        for (int pass = 0; pass < 16; ++pass) {
            compress(h, words);
            if ((kTwoCompressionPasses >> pass) & 1)
                compress(h, words);
            const std::array<uint32_t, 4> md5 = Md5OfSha1Words(h);
            std::memcpy(words, md5.data(), sizeof md5);
        }
    }
    benchmark::DoNotOptimize(h);
    state.counters["ns_per_pass"] = benchmark::Counter(
        16.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PassHashingOnly);

} // namespace
} // namespace lumaquill

BENCHMARK_MAIN();
