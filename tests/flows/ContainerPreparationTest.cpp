#include "flows/FlowHarness.h"
#include "flows/Payload.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace lumaquill::test {
namespace {

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
    ASSERT_TRUE(h.Encode(request));
    EXPECT_EQ(h.Engine.Width(), c.Side);
    EXPECT_EQ(h.Engine.Height(), c.Side);
    EXPECT_EQ(h.Engine.BitCount(), 24);
    EXPECT_EQ(h.Engine.Keys.Mode, 4);
    EXPECT_TRUE(h.Engine.Keys.ModeFixed);
    // The noise file stays in the private temporary folder.
    EXPECT_TRUE(Exists(h.PrivateFolder() + "asyat.bmp"));
    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    ASSERT_EQ(result.Outcome, TextDecoded);
}

INSTANTIATE_TEST_SUITE_P(SideRule, NoiseContainer, testing::ValuesIn(kNoiseCases),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShrinkContainer, HundredSquareWithThousandBytesBecomes87SquareAndTheTemporaryFileGoes)
{
    FlowHarness h;
    h.LoadBitmap("holiday.bmp", 100, 100, 24, 3);
    EncodeRequest request = h.Request(StoredStream(1000, 5), "", false);
    request.Shrink = true;
    request.ImageTitle = "holiday";
    ASSERT_TRUE(h.Encode(request));
    EXPECT_EQ(h.Engine.Width(), 87);
    EXPECT_EQ(h.Engine.Height(), 87);
    EXPECT_FALSE(Exists(h.PrivateFolder() + "holiday.bmp"));
    EXPECT_EQ(h.DecodeFile(h.SaveEncoded()).Outcome, TextDecoded);
}

TEST(ShrinkContainer, LeavesAContainerAloneWhenTheTargetIsNotSmaller)
{
    FlowHarness h;
    h.LoadBitmap("small.bmp", 60, 60, 24, 3);
    // T = 3 * 5000 + 4096 = 19096 > 10800 pixel bytes.
    EncodeRequest request = h.Request(StoredStream(5000, 5), "", false);
    request.Shrink = true;
    request.ImageTitle = "small";
    h.Encode(request);
    EXPECT_EQ(h.Engine.Width(), 60);
}

TEST(ShrinkContainer, RescalesTheNoiseImageTooWhenBothAreTicked)
{
    FlowHarness h;
    EncodeRequest request = h.Request(StoredStream(1000, 5), "C:\\data\\r.txt", false);
    request.Noise = true;
    request.Shrink = true;
    request.ImageTitle = "../escape";
    ASSERT_TRUE(h.Encode(request));
    // 71 x 71 noise (15336 pixel bytes) against T = 7096: rescaled to about
    // sqrt(7096) + 3 on each side, which here enlarges it.
    EXPECT_EQ(h.Engine.Width(), 87);
    EXPECT_EQ(h.Engine.Height(), 87);
    EXPECT_EQ(h.Engine.Keys.Mode, 4);
    EXPECT_TRUE(Exists(h.PrivateFolder() + "asyat.bmp"));
    EXPECT_FALSE(Exists(h.PrivateFolder() + "escape.bmp"));
    EXPECT_FALSE(Exists(h.Scratch.Path() + "/escape.bmp"));
    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    ASSERT_EQ(result.Outcome, FileWritten);
    EXPECT_EQ(result.Offered, std::vector<std::string> { "r.txt" });
}

TEST(TemporaryContainer, ALinkInThePrivateFolderPlaceIsRefusedAndNothingIsEncoded)
{
    FlowHarness h;
    const std::string folder = h.PrivateFolder();
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    ASSERT_EQ(::symlink(h.Scratch.Path().c_str(), folder.substr(0, folder.size() - 1).c_str()), 0);
    EncodeRequest request = h.Request(StoredStream(100, 5), "", false);
    request.Noise = true;
    EXPECT_FALSE(h.Encode(request));
    EXPECT_EQ(
        h.Front.Log.Messages(), std::vector<std::string> { "Warn: Could not write the temporary container image." });
    EXPECT_FALSE(Exists(h.Scratch.Path() + "/asyat.bmp"));
}

} // namespace
} // namespace lumaquill::test
