#include "core/MessageText.h"
#include "flows/FlowHarness.h"
#include "flows/Payload.h"
#include "image/NoiseImage.h"
#include "image/PictureLimits.h"
#include "image/ScaledImage.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lumaquill::test {
namespace {

namespace fs = std::filesystem;

// The noise picture for a compressed payload of this size and an original
// of the same size, as the encode sizes it.
uint64_t NoiseSideFor(uint64_t payloadSize)
{
    return uint64_t(NoiseSide(uint32_t(payloadSize), payloadSize)) + 2;
}

struct NoiseCase {
    const char* Name;
    uint64_t PayloadSize;
    bool Fits;
};

// Every noise picture the encode makes is one the readers take; a payload
// whose noise picture would pass the limits is refused. The largest file
// taken gets a noise picture within them however little it compresses.
TEST(EncodeLimits, NoiseSidesStayWithinTheReadersLimits)
{
    const uint64_t largestFile = MaxPayloadFileBytes();
    // zlib's stream of data that does not compress.
    const uint64_t worstStream = largestFile + largestFile / 4096 + largestFile / 16384 + 13 + 5;
    const std::vector<NoiseCase> cases = {
        { "small payload", 1000, true },
        { "largest payload file, not compressing", worstStream, true },
        { "a gibibyte", uint64_t(1) << 30, false },
        { "largest compressed size", UINT32_MAX, false },
    };
    for (const NoiseCase& c : cases) {
        const uint64_t side = NoiseSideFor(c.PayloadSize);
        EXPECT_EQ(limits::Fits(side, side, 24), c.Fits) << c.Name << ": " << side;
    }
    EXPECT_LT(largestFile, uint64_t(1) << 30);
}

struct ShrinkCase {
    const char* Name;
    int32_t Width;
    int32_t Height;
    uint32_t PayloadSize;
    bool Shrinks;
};

uint32_t RowBytes24(int32_t width, int32_t height)
{
    return uint32_t(((uint64_t(width) * 24 + 31) / 32) * 4 * uint64_t(height));
}

// Every rescaled container the encode makes is one the readers take: near
// the limits, where the three-pixel margin would pass them, the cover is
// kept as it is.
TEST(EncodeLimits, ShrinkSizesStayWithinTheReadersLimits)
{
    const std::vector<ShrinkCase> cases = {
        { "ordinary cover", 4000, 3000, 100000, true },
        { "largest square, small payload", 18918, 18918, 1000, true },
        { "largest square, payload near its size", 18918, 18918, 357000000, false },
        { "widest strip, payload near its size", int32_t(limits::kMaxSide), 4, 260000, false },
        { "payload larger than the cover", 100, 100, 30000, false },
    };
    for (const ShrinkCase& c : cases) {
        int32_t width = 0;
        int32_t height = 0;
        const bool shrinks = ShrinkSize(c.Width, c.Height, RowBytes24(c.Width, c.Height), c.PayloadSize, width, height);
        EXPECT_EQ(shrinks, c.Shrinks) << c.Name << ": " << width << " x " << height;
        if (shrinks) {
            EXPECT_TRUE(limits::Fits(uint64_t(width), uint64_t(height), 24)) << c.Name;
        }
    }
}

TEST(EncodeLimits, NoisePictureBeyondTheLimitsIsRefusedBeforeItIsMade)
{
    FlowHarness h;
    EncodeRequest request = h.Request({ 1, 2, 3 }, "", false);
    request.Noise = true;
    request.OriginalSize = uint64_t(40) << 30;
    ASSERT_FALSE(h.Encode(request));
    const std::vector<std::string> messages = h.Front.Log.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(std::string("Warn: ") + message::kNoiseTooLarge, 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find(limits::Text()), std::string::npos) << messages[0];
    EXPECT_EQ(h.Front.Progress.Created, 0);
}

// A cover wider than a WebP file can be is refused before the run when the
// output is WebP, naming the WebP limit, sealed or not; PNG takes it.
TEST(EncodeLimits, WebpOutputBeyondItsSideIsRefusedBeforeTheWork)
{
    const std::string beyondWebpSide
        = "a WebP picture is at most 16383 pixels wide and high; choose PNG or BMP for this one";
    for (const bool seal : { false, true }) {
        FlowHarness h;
        h.LoadBitmap("wide.bmp", int32_t(limits::kMaxWebpSide) + 1, 2, 24, 5);
        EncodeRequest request = h.Request({ 1, 2, 3 }, "", false);
        request.OutFormat = PictureFormat::WebP;
        request.Seal = seal;
        request.Password = SecretBytes(std::string_view(kPassword));
        ASSERT_FALSE(h.Encode(request)) << seal;
        EXPECT_EQ(h.Front.Log.Messages(),
            std::vector<std::string> { std::string("Warn: ") + message::kOutputCannotHold + beyondWebpSide + "." })
            << seal;
        EXPECT_EQ(h.Front.Progress.Created, 0) << seal;
        const FileWriteResult saved = h.Engine.SaveContainer(h.Scratch.File("out.webp"), PictureFormat::WebP);
        EXPECT_FALSE(saved);
        EXPECT_EQ(saved.Reason, beyondWebpSide);
    }
}

struct PayloadFileCase {
    const char* Name;
    std::string Path;
    std::string Reason;
};

// A payload file is judged by its kind and size before any byte is read.
TEST(EncodeLimits, PayloadFilesAreJudgedBeforeTheyAreRead)
{
    FlowHarness h;
    const std::string fifo = h.Scratch.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = h.Scratch.File("huge.bin");
    WriteBytes(huge, {});
    fs::resize_file(huge, MaxPayloadFileBytes() + 1);
    const std::string fine = h.Scratch.File("fine.bin");
    WriteBytes(fine, { 1, 2, 3 });
    const std::vector<PayloadFileCase> cases = {
        { "endless device", "/dev/zero", "it is not a regular file" },
        { "pipe", fifo, "it is not a regular file" },
        { "folder", h.Scratch.Path(), "it is a folder" },
        { "missing", h.Scratch.File("missing.bin"), "No such file or directory" },
        { "larger than any picture takes", huge,
            "it has " + std::to_string(MaxPayloadFileBytes() + 1)
                + " bytes, and the largest picture Lumaquill writes takes at most "
                + std::to_string(MaxPayloadFileBytes()) },
        { "regular file", fine, "" },
    };
    for (const PayloadFileCase& c : cases) {
        uint64_t length = 0;
        EXPECT_EQ(PayloadFileProblem(c.Path, length), c.Reason) << c.Name;
        std::string reason;
        EXPECT_EQ(ReadWholeFile(c.Path, reason).has_value(), c.Reason.empty()) << c.Name;
        EXPECT_EQ(reason, c.Reason) << c.Name;
    }
}

} // namespace
} // namespace lumaquill::test
