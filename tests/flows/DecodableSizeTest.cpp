#include "engine/ContainerFormat.h"
#include "flows/FlowHarness.h"
#include "flows/Payload.h"
#include "image/NoiseImage.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <utility>

namespace lumaquill::test {
namespace {

// A decode restores at most 20 x Capacity(5) bytes; these payloads compress
// far below what the container holds but unpack beyond that.
uint64_t NoiseDecodable(int32_t n)
{
    return DecodableBytes(StegEngine::CapacityFor(n + 2, n + 2, 24, container::kDecodeCapacityMode));
}

// Every payload that fitted its noise picture before keeps that picture (and
// so the same noise draws); one byte more takes the next side that fits.
TEST(NoiseSide, StaysTheUsualSideWhileTheOriginalFitsAndGrowsMinimallyBeyond)
{
    for (uint32_t compressed : { 0u, 8u, 1000u, 30000u, 123457u, 1000000u }) {
        const int32_t usual = NoiseImage::SideFor(compressed);
        const uint64_t fits = NoiseDecodable(usual);
        EXPECT_EQ(NoiseSide(compressed, 0), usual) << compressed;
        EXPECT_EQ(NoiseSide(compressed, fits), usual) << compressed;
        const int32_t grown = NoiseSide(compressed, fits + 1);
        EXPECT_GT(grown, usual) << compressed;
        EXPECT_GE(NoiseDecodable(grown), fits + 1) << compressed;
        EXPECT_LT(NoiseDecodable(grown - 1), fits + 1) << compressed;
    }
    // 300 000 'A's compress to about 600 bytes.
    const int32_t big = NoiseSide(600, 300000);
    EXPECT_GE(NoiseDecodable(big), 300000u);
    EXPECT_LT(NoiseDecodable(big - 1), 300000u);
}

TEST(DecodableSize, AHighlyCompressibleTextInNoiseComesBack)
{
    FlowHarness h;
    const std::string text(300000, 'A');
    EncodeRequest request = h.Request(*CompressPayload(text), "", false);
    request.OriginalSize = text.size();
    request.Noise = true;
    ASSERT_TRUE(h.Encode(request)) << testing::PrintToString(h.Front.Log.Messages());
    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    ASSERT_EQ(result.Outcome, TextDecoded);
    EXPECT_EQ(result.Holder, text);
}

TEST(DecodableSize, AContainerThatCouldNotGiveItBackIsRefusedWithBothSizes)
{
    FlowHarness h;
    h.LoadBitmap("small.bmp", 100, 100, 24, 3);
    const std::vector<uint8_t> zeros(1000000, 0);
    EncodeRequest request = h.Request(*CompressPayload(zeros.data(), zeros.size()), "z.bin", false);
    request.OriginalSize = zeros.size();
    EXPECT_FALSE(h.Encode(request));
    // Capacity(5) = 30000 - 4096 = 25904: at most 518080 bytes come back.
    EXPECT_EQ(h.Front.Log.Messages(), std::vector<std::string> { "Warn: " + TooLargeToDecode(1000000, 518080) });
    EXPECT_NE(TooLargeToDecode(1000000, 518080).find("1000000"), std::string::npos);
    EXPECT_NE(TooLargeToDecode(1000000, 518080).find("518080"), std::string::npos);
}

TEST(DecodableSize, ShrinkLeavesTheContainerWhenTheRescaledOneCouldNotGiveItBack)
{
    FlowHarness h;
    h.LoadBitmap("holiday.bmp", 640, 480, 24, 3);
    const std::vector<uint8_t> zeros(2000000, 0);
    EncodeRequest request = h.Request(*CompressPayload(zeros.data(), zeros.size()), "z.bin", false);
    request.OriginalSize = zeros.size();
    request.Shrink = true;
    ASSERT_TRUE(h.Encode(request)) << testing::PrintToString(h.Front.Log.Messages());
    EXPECT_EQ(h.Engine.Width(), 640);
    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    ASSERT_EQ(result.Outcome, FileWritten);
    EXPECT_EQ(ReadBytes(result.Holder), zeros);
}

// The figure info reports holds for every key: an encode at exactly that
// size succeeds (with the longest stored name) whatever the password, one
// byte more finds no encoder. The pictures include ones whose walk reaches
// fewer pixels than their capacities count and ones too small for any
// capacity.
TEST(LargestPayload, IsTheLargestSizeThatEncodesForEveryKey)
{
    const unsigned seed = std::random_device {}();
    SCOPED_TRACE("password seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const std::pair<int32_t, int32_t> shapes[]
        = { { 101, 67 }, { 640, 480 }, { 47, 33 }, { 40, 40 }, { 2000, 3 }, { 5000, 2 }, { 36, 36 } };
    for (const auto& [width, height] : shapes) {
        FlowHarness h;
        const std::string path = h.LoadBitmap("c.bmp", width, height, 24, 5);
        const uint32_t largest = LargestPayload(h.Engine);
        if (largest == 0) {
            EXPECT_LE(h.Engine.Capacity(container::kDecodeCapacityMode), 0) << width << "x" << height;
            continue;
        }
        const std::string name(60, 'n');
        for (int round = 0; round < 3; ++round) {
            EncodeRequest request = h.Request(NoiseBytes(largest, 3, 0), name, false);
            request.Key = KeyDigests::FromText("pw " + std::to_string(random()));
            EXPECT_TRUE(h.Encode(request)) << width << "x" << height;
            h.Engine.LoadContainer(path);
        }
        EXPECT_FALSE(h.Encode(h.Request(NoiseBytes(largest + 1, 3, 0), name, false))) << width << "x" << height;
        EXPECT_EQ(h.Front.Log.Messages().back(), "Warn: Could not find a suitable encoder.");
    }
}

} // namespace
} // namespace lumaquill::test
