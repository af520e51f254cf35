#include "flows/FlowHarness.h"
#include "flows/Payload.h"
#include "keys/Sha1Context.h"

#include <gtest/gtest.h>

namespace lumaquill::test {
namespace {

// Pinned SHA-1 digests of encoded pixel blocks. They were taken from this
// implementation once its round trips passed and the layout had been read
// back field by field; any change to the order or number of generator
// draws, the walk, the whitening or the layout changes them.
struct GoldenCase {
    const char* Label;
    int32_t Width; // 0: a noise container
    int32_t Height;
    uint16_t Bits;
    bool File;
    bool Questions;
    int32_t Mode;
    const char* PixelSha1;
};

const GoldenCase kGoldenCases[] = {
    { "PasswordTextMode0", 61, 47, 24, false, false, 0, "A256FD7F28FFBA966B16330CB59A8B110297BE45" },
    { "QuestionsFileMode1", 247, 199, 24, true, true, 1, "EF1CC9A5D7F1F55BF24D258400C994D567E6348D" },
    { "PasswordFileMode3On32Bits", 211, 163, 32, true, false, 3, "E09839682210B0775A515EBA7B5ED923815D6236" },
    // EmbedMode 4 stores the bare name "report.txt", not the whole path.
    { "NoiseFileMode4", 0, 0, 24, true, false, 4, "0A10F8042C51556A464E7D2393C3F6461EF5A5BA" },
};

void PrintTo(const GoldenCase& c, std::ostream* os)
{
    *os << c.Label;
}

class GoldenImage : public testing::TestWithParam<GoldenCase> { };

TEST_P(GoldenImage, PixelBlockIsPinned)
{
    const GoldenCase& c = GetParam();
    FlowHarness h;
    if (c.Width > 0)
        h.LoadBitmap("golden.bmp", c.Width, c.Height, c.Bits, 4242);
    std::vector<uint8_t> bytes = NoiseBytes(c.Mode == 1 ? 3000 : c.Mode == 3 ? 14000 : 40, 77, 1);
    if (c.Mode == 0 || c.Mode == 4) {
        const std::string text = "The quick brown fox jumps over the lazy dog";
        bytes.assign(text.begin(), text.end());
    }
    EncodeRequest request
        = h.Request(*CompressPayload(bytes.data(), bytes.size()), c.File ? "C:\\data\\report.txt" : "", c.Questions);
    request.OriginalSize = bytes.size();
    request.Noise = c.Width == 0;
    ASSERT_TRUE(h.Encode(request));
    ASSERT_EQ(h.Engine.Keys.Mode, c.Mode);
    const Sha1Bytes digest = Sha1(h.Engine.Pixels().data(), h.Engine.Pixels().size());
    EXPECT_EQ(Hex(digest.data(), digest.size()), c.PixelSha1);

    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    ASSERT_EQ(result.Outcome, c.File ? FileWritten : TextDecoded);
    if (c.File) {
        EXPECT_EQ(result.Offered, std::vector<std::string> { "report.txt" });
        EXPECT_EQ(ReadBytes(result.Holder), bytes);
    } else {
        EXPECT_EQ(result.Holder, std::string(bytes.begin(), bytes.end()));
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, GoldenImage, testing::ValuesIn(kGoldenCases),
    [](const auto& info) { return std::string(info.param.Label); });

} // namespace
} // namespace lumaquill::test
