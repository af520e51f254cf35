#include "flows/FlowHarness.h"
#include "flows/Payload.h"
#include "image/NoiseImage.h"
#include "image/ScaledImage.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace lumaquill::test {
namespace {

// Everything in a folder, recursively: the harness's TMPDIR must stay as the
// test left it, since containers are made in memory.
std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct NoiseCase {
    const char* Name;
    size_t PayloadBytes;
    int32_t Side;
};

// Noise side rule: n = floor(sqrt(S / 3 + 4096)) + 3, picture (n + 2) squared.
const NoiseCase kNoiseCases[] = {
    { "EmptyText", 8, 69 },
    { "ThousandBytes", 1000, 71 },
    { "ThirtyThousandBytes", 30000, 123 },
};

void PrintTo(const NoiseCase& c, std::ostream* os)
{
    *os << c.Name;
}

class NoiseContainer : public testing::TestWithParam<NoiseCase> { };

TEST_P(NoiseContainer, IsSizedForThePayloadAndDecodes)
{
    const NoiseCase& c = GetParam();
    FlowHarness h;
    const std::vector<uint8_t> payload
        = c.PayloadBytes == 8 ? *CompressPayload(std::string()) : StoredStream(c.PayloadBytes, 7);
    ASSERT_EQ(payload.size(), c.PayloadBytes);
    EncodeRequest request = h.Request(payload, "", false);
    request.Noise = true;
    const std::vector<std::string> before = FilesIn(h.Scratch.Path());
    ASSERT_TRUE(h.Encode(request));
    EXPECT_EQ(FilesIn(h.Scratch.Path()), before);
    EXPECT_EQ(h.Engine.Width(), c.Side);
    EXPECT_EQ(h.Engine.Height(), c.Side);
    EXPECT_EQ(h.Engine.BitCount(), 24);
    EXPECT_EQ(h.Engine.Keys.Mode, 4);
    EXPECT_TRUE(h.Engine.Keys.ModeFixed);
    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    ASSERT_EQ(result.Outcome, TextDecoded);
}

INSTANTIATE_TEST_SUITE_P(SideRule, NoiseContainer, testing::ValuesIn(kNoiseCases),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShrinkContainer, HundredSquareWithThousandBytesBecomes87SquareWithoutAnyFile)
{
    FlowHarness h;
    h.LoadBitmap("holiday.bmp", 100, 100, 24, 3);
    EncodeRequest request = h.Request(StoredStream(1000, 5), "", false);
    request.Shrink = true;
    const std::vector<std::string> before = FilesIn(h.Scratch.Path());
    ASSERT_TRUE(h.Encode(request));
    EXPECT_EQ(h.Engine.Width(), 87);
    EXPECT_EQ(h.Engine.Height(), 87);
    EXPECT_EQ(FilesIn(h.Scratch.Path()), before);
    EXPECT_EQ(h.DecodeFile(h.SaveEncoded()).Outcome, TextDecoded);
}

TEST(ShrinkContainer, LeavesAContainerAloneWhenTheTargetIsNotSmaller)
{
    FlowHarness h;
    h.LoadBitmap("small.bmp", 60, 60, 24, 3);
    // T = 3 * 5000 + 4096 = 19096 > 10800 pixel bytes.
    EncodeRequest request = h.Request(StoredStream(5000, 5), "", false);
    request.Shrink = true;
    h.Encode(request);
    EXPECT_EQ(h.Engine.Width(), 60);
}

TEST(ShrinkContainer, RescalesTheNoiseImageTooWhenBothAreTicked)
{
    FlowHarness h;
    EncodeRequest request = h.Request(StoredStream(1000, 5), "C:\\data\\r.txt", false);
    request.Noise = true;
    request.Shrink = true;
    ASSERT_TRUE(h.Encode(request));
    // 71 x 71 noise (15336 pixel bytes) against T = 7096: rescaled to about
    // sqrt(7096) + 3 on each side, which here enlarges it.
    EXPECT_EQ(h.Engine.Width(), 87);
    EXPECT_EQ(h.Engine.Height(), 87);
    EXPECT_EQ(h.Engine.Keys.Mode, 4);
    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    ASSERT_EQ(result.Outcome, FileWritten);
    EXPECT_EQ(result.Offered, std::vector<std::string> { "r.txt" });
}

// A container made in memory is exactly the image that writing its bitmap
// file and reading it back gives: header bytes, rows and capacities.
TEST(TemporaryContainer, AdoptingInMemoryEqualsWritingAndReadingTheFile)
{
    FlowHarness h;
    NoiseImage noise;
    noise.Create(NoiseImage::SideFor(1000));
    ScaledImage scaled;
    h.LoadBitmap("odd.bmp", 47, 33, 32, 9);
    scaled.CreateScaled(h.Engine, 51, 29);
    const std::pair<const char*, std::function<void(std::ostream&)>> pictures[] = {
        { "noise", [&](std::ostream& out) { noise.Write(out); } },
        { "scaled", [&](std::ostream& out) { scaled.Write(out); } },
    };
    for (const auto& [name, write] : pictures) {
        const std::string path = h.Scratch.File(std::string(name) + ".bmp");
        {
            std::ofstream file(path, std::ios::binary);
            write(file);
        }
        StegEngine fromFile;
        ASSERT_TRUE(fromFile.LoadContainer(path)) << name;
        std::stringstream bytes(std::ios::in | std::ios::out | std::ios::binary);
        write(bytes);
        StegEngine inMemory;
        ASSERT_TRUE(inMemory.AdoptContainer(bytes)) << name;
        EXPECT_EQ(inMemory.InfoHeader(), fromFile.InfoHeader()) << name;
        EXPECT_EQ(inMemory.Pixels(), fromFile.Pixels()) << name;
        EXPECT_EQ(inMemory.Capacity(5), fromFile.Capacity(5)) << name;
    }
}

} // namespace
} // namespace lumaquill::test
