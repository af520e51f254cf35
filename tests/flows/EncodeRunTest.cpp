#include "engine/CappedInflate.h"
#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "flows/FlowHarness.h"
#include "flows/KeyDigests.h"
#include "flows/Payload.h"
#include "keys/RuntimeRandom.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <zlib.h>

namespace lumaquill::test {
namespace {

// The n-th position (from 1) of the sequential scan: x = 1 .. width - 1
// within each row y = 1, 2, ...
Position ScanPosition(int32_t width, int32_t n)
{
    return { 1 + (n - 1) % (width - 1), 1 + (n - 1) / (width - 1) };
}

TEST(EncodeRun, ModeByteHoldsModeAndSpeed)
{
    EXPECT_EQ(container::ModeByte(2, 4), 0x22);
    EXPECT_EQ(container::ModeByte(4, 0), 0x04);
    EXPECT_EQ(container::ModeByte(0, 1), 0x08);
}

TEST(EncodeRun, WithoutQuestionsTheHeaderPassesOverSixtyPixelsUnchanged)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 30, 20, 24, 11);
    const std::vector<uint8_t> before = h.Engine.Pixels();
    h.Engine.Keys.Reset();
    h.Engine.Keys.LevelByte = 77;
    const int32_t remaining = h.Engine.UsedPixels.Remaining;
    EXPECT_TRUE(h.Engine.WriteHeader());
    EXPECT_EQ(h.Engine.Pixels(), before);
    EXPECT_EQ(remaining - h.Engine.UsedPixels.Remaining, 60);
    for (int32_t n = 1; n <= 60; ++n) {
        const Position p = ScanPosition(30, n);
        EXPECT_TRUE(h.Engine.UsedPixels.IsUsed(p.X, p.Y)) << n;
    }
    EXPECT_EQ((Position { h.Engine.CurX, h.Engine.CurY }), ScanPosition(30, 61));
    EXPECT_FALSE(h.Engine.HeaderMode);
    EXPECT_EQ(h.Engine.Keys.LevelByte, 77);
}

TEST(EncodeRun, ModeHeaderOfAnImageWithoutQuestionsStartsAtTheSixtyFirstScanPosition)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 50, 40, 24, 11);
    ASSERT_TRUE(h.Encode(h.Request(*CompressPayload("hi"), "", false)));
    StegEngine reader;
    ASSERT_TRUE(reader.LoadContainer(h.SaveEncoded()));
    QuestionSet set;
    EXPECT_FALSE(reader.ReadStoredQuestions(set));
    EXPECT_EQ((Position { reader.CurX, reader.CurY }), ScanPosition(50, 61));
    // The mode header is the byte 0 and the ModeByte under the
    // unstrengthened key.
    reader.Keys.PasswordDigest = KeyDigests::FromText(kPassword).Sha1;
    reader.Keys.PasswordMd5 = KeyDigests::FromText(kPassword).Md5;
    reader.Keys.DeriveMarker();
    reader.Keys.PublishSeeds();
    reader.PositionGen.Reseed(reader.Keys.PositionSeed.data());
    reader.WhiteningGen.Reseed(reader.Keys.WhiteningSeed.data());
    uint8_t header[2] = { 9, 9 };
    uint32_t count = 2;
    reader.Keys.Mode = 1;
    reader.ReadBuffer(header, count, false);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(header[0], 0);
    EXPECT_EQ(header[1], container::ModeByte(h.Engine.Keys.Mode, 0));
}

TEST(EncodeRun, StoredModeByteCarriesTheSpeed)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 247, 199, 24, 12);
    EncodeRequest request = h.Request(StoredStream(13000, 4), "", false);
    request.Speed = 1;
    ASSERT_TRUE(h.Encode(request));
    ASSERT_EQ(h.Engine.Keys.Mode, 2);
    StegEngine reader;
    ASSERT_TRUE(reader.LoadContainer(h.SaveEncoded()));
    QuestionSet set;
    reader.ReadStoredQuestions(set);
    reader.Keys.PasswordDigest = request.Key.Sha1;
    reader.Keys.PasswordMd5 = request.Key.Md5;
    reader.Keys.DeriveMarker();
    reader.Keys.PublishSeeds();
    reader.PositionGen.Reseed(reader.Keys.PositionSeed.data());
    reader.WhiteningGen.Reseed(reader.Keys.WhiteningSeed.data());
    uint8_t header[2] = {};
    uint32_t count = 2;
    reader.Keys.Mode = 1;
    reader.ReadBuffer(header, count, false);
    EXPECT_EQ(header[1], 0x0A);
}

TEST(EncodeRun, QuestionCountStopsAtTheFirstUnusedSlot)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 120, 90, 24, 13);
    QuestionSet set;
    set.SetSlot(0, "First?", "h0", "a0");
    set.SetSlot(2, "Third?", "h2", "a2");
    EncodeRequest request = h.Request(*CompressPayload("payload"), "", false);
    request.Questions = &set;
    ASSERT_TRUE(h.Encode(request));
    StegEngine reader;
    ASSERT_TRUE(reader.LoadContainer(h.SaveEncoded()));
    QuestionSet read;
    ASSERT_TRUE(reader.ReadStoredQuestions(read));
    EXPECT_EQ(read.UsedFlags, (std::array<bool, QuestionSet::kSlots> { true, false, false, false, false }));
    EXPECT_EQ(read.Questions[0], "First?");
    EXPECT_EQ(read.Hints[0], "h0");
    EXPECT_EQ(read.AnswerKeys[0], AnswerKey("a0"));
    EXPECT_EQ(read.Questions[2], "");
    EXPECT_TRUE(reader.Keys.QuizlockPresent);
    std::string holder;
    EXPECT_EQ(RunDecode(reader, request.Key, holder), TextDecoded);
    EXPECT_EQ(holder, "payload");
}

// Reads n bytes as EmbedMode 1 stores them in the clear along the scan:
// bit 0 of red, green, blue of three pixels give bits 0-2, 3-5 and 6-7.
std::vector<uint8_t> ReadClearBytes(const DibImage& image, int32_t width, size_t n)
{
    std::vector<uint8_t> bytes;
    int32_t position = 1;
    for (size_t i = 0; i < n; ++i) {
        uint32_t value = 0;
        for (int bit = 0; bit < 8; ++position) {
            const Position p = ScanPosition(width, position);
            const uint32_t colour = image.GetPixel(p.X, p.Y);
            for (int shift : { 16, 8, 0 }) {
                if (bit < 8)
                    value |= ((colour >> shift) & 1u) << bit++;
            }
        }
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return bytes;
}

TEST(EncodeRun, QuestionHeaderIsStoredInTheClearAlongTheScan)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 120, 90, 24, 18);
    ASSERT_TRUE(h.Encode(h.Request(*CompressPayload("payload"), "", true)));
    const std::vector<uint8_t> bytes = ReadClearBytes(h.Engine, 120, 21 + 23);
    EXPECT_TRUE(std::equal(container::kQuestionSignature.begin(), container::kQuestionSignature.end(), bytes.begin()));
    EXPECT_EQ(bytes[20], 2);
    EXPECT_EQ(std::string(bytes.begin() + 21, bytes.end()), "Name of your first pet?");
}

TEST(EncodeRun, PayloadThatFitsNoModeIsRefused)
{
    FlowHarness h;
    // Capacity(3) of 100 x 100 at 24 bits is 5904.
    h.LoadBitmap("c.bmp", 100, 100, 24, 14);
    ASSERT_FALSE(h.Encode(h.Request(NoiseBytes(5904, 1), "", false)));
    EXPECT_EQ(h.Front.Log.Messages(), std::vector<std::string> { "Warn: Could not find a suitable encoder." });
    EXPECT_EQ(h.Front.Progress.Created, 0);
    EXPECT_EQ(h.Front.Busy.Depth, 0);
}

TEST(EncodeRun, UnusableContainerIsRefused)
{
    FlowHarness h;
    ASSERT_FALSE(h.Encode(h.Request(NoiseBytes(10, 1), "", false)));
    EXPECT_EQ(h.Front.Log.Messages(), std::vector<std::string> { "Warn: Invalid container image." });
}

TEST(EncodeRun, ShowsProgressThroughTheRunAndClosesIt)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 247, 199, 24, 15);
    ASSERT_TRUE(h.Encode(h.Request(StoredStream(2000, 2), "", false)));
    const auto& events = h.Front.Log.Events;
    ASSERT_GE(events.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 4),
        (std::vector<std::string> { "Created", "Show", "SetText Initializing", "SetPos 0" }));
    EXPECT_LT(h.Front.Log.IndexOf("SetText Mangling Password"), h.Front.Log.IndexOf("SetText Encoding Data"));
    EXPECT_TRUE(h.Front.Log.Contains("SetText Encoding Complete"));
    EXPECT_EQ(
        std::vector<std::string>(events.end() - 2, events.end()), (std::vector<std::string> { "Hide", "Destroyed" }));
    EXPECT_EQ(h.Engine.Progress, nullptr);
    EXPECT_EQ(h.Front.Busy.Begins, 1);
    EXPECT_EQ(h.Front.Busy.Depth, 0);
}

// 40 x 40 at 24 bits: 1444 interior cells, so the walk yields 1345 positions
// before fewer than 100 remain, and Capacity(5) = 704 lets the reader take
// the whole body. Without questions: 60 passed over, 6 for the mode header;
// EmbedMode 0 costs 8 a byte and an End 9. So 157 payload bytes leave room
// for both Ends (1274 of 1279), 158 do not (1282). The mode choice moves
// those to EmbedMode 1; a fixed mode (as noise images have) is kept, so
// there the walk can still run out after the payload.
struct ClosingCase {
    const char* Name;
    size_t PayloadBytes;
    bool Encoded;
};
const ClosingCase kClosingCases[] = {
    { "BothEndsFit", 157, true },
    { "SecondEndRunsOut", 158, false },
    { "FirstEndRunsOut", 159, false },
};

void PrintTo(const ClosingCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ClosingWrites : public testing::TestWithParam<ClosingCase> { };

TEST_P(ClosingWrites, AnIncompleteBodyIsNeverReportedAsEncoded)
{
    const ClosingCase& c = GetParam();
    FlowHarness h;
    h.LoadBitmap("c.bmp", 40, 40, 24, 16);
    KeyMaterial& keys = h.Engine.Keys;
    keys.Reset();
    const KeyDigests key = KeyDigests::FromText(kPassword);
    keys.PasswordDigest = key.Sha1;
    keys.PasswordMd5 = key.Md5;
    keys.DeriveMarker();
    keys.ModeFixed = true;
    keys.Mode = EmbedBit0OneChannel;
    const std::vector<uint8_t> payload = NoiseBytes(c.PayloadBytes, 3);
    EXPECT_EQ(h.Engine.Encode(payload.data(), static_cast<uint32_t>(payload.size()), ""), c.Encoded);
    if (c.Encoded) {
        EXPECT_TRUE(h.Front.Log.Messages().empty());
    } else {
        EXPECT_EQ(h.Front.Log.Messages(), std::vector<std::string> { "Warn: Unable to encode data." });
        // The message comes while the progress is still up.
        EXPECT_LT(h.Front.Log.IndexOf("Warn: Unable to encode data."), h.Front.Log.IndexOf("Hide"));
    }
    EXPECT_EQ(h.Engine.Progress, nullptr);
}

INSTANTIATE_TEST_SUITE_P(WalkRunsOut, ClosingWrites, testing::ValuesIn(kClosingCases),
    [](const auto& info) { return std::string(info.param.Name); });

// A chosen mode always has the pixels its run needs: at the walk's limit a
// text fills the mode's last positions, one byte more goes to the next
// denser mode (or fits none), and what is encoded decodes. The walk hands
// out interior cells - 99 positions, 60 of them to the question header.
struct WalkLimitCase {
    const char* Name;
    int32_t Width;
    int32_t Height;
    size_t PayloadBytes;
    int32_t Mode;
};
const WalkLimitCase kWalkLimitCases[] = {
    // 1285 positions: 6 + 8 x 157 + 2 x 9 in EmbedMode 0.
    { "Tiny40x40FillsMode0", 40, 40, 157, EmbedBit0OneChannel },
    { "Tiny40x40NextMode", 40, 40, 158, EmbedBit0ThreeChannels },
    // 3939 positions: Capacity(2) = 2054, the walk holds 1963 in EmbedMode 2.
    { "Wide4100x3FillsMode2", 4100, 3, 1963, EmbedBits01 },
    { "Wide4100x3NextMode", 4100, 3, 1964, EmbedBits012 },
    // 1839 positions: Capacity(3) = 1904, the walk holds 1829.
    { "Narrow2000x3FillsMode3", 2000, 3, 1829, EmbedBits012 },
    { "Narrow2000x3NoMode", 2000, 3, 1830, EmbedNone },
};

void PrintTo(const WalkLimitCase& c, std::ostream* os)
{
    *os << c.Name;
}

class WalkLimit : public testing::TestWithParam<WalkLimitCase> { };

TEST_P(WalkLimit, TheChosenModeHoldsTheRun)
{
    const WalkLimitCase& c = GetParam();
    FlowHarness h;
    h.LoadBitmap("c.bmp", c.Width, c.Height, 24, 21);
    const std::vector<uint8_t> payload = StoredStream(c.PayloadBytes, 5);
    const bool encoded = h.Encode(h.Request(payload, "", false));
    if (c.Mode == EmbedNone) {
        EXPECT_FALSE(encoded);
        EXPECT_EQ(h.Front.Log.Messages(), std::vector<std::string> { "Warn: Could not find a suitable encoder." });
        return;
    }
    ASSERT_TRUE(encoded) << testing::PrintToString(h.Front.Log.Messages());
    EXPECT_EQ(h.Engine.Keys.Mode, c.Mode);
    const DecodeResult result = h.DecodeFile(h.SaveEncoded());
    ASSERT_EQ(result.Outcome, TextDecoded);
    std::vector<uint8_t> restored;
    ASSERT_EQ(InflateCapped(payload.data(), payload.size(), payload.size(), restored), InflateResult::Complete);
    // A decoded text ends at its first zero byte.
    EXPECT_TRUE(result.Holder == std::string(restored.begin(), std::find(restored.begin(), restored.end(), 0)));
}

INSTANTIATE_TEST_SUITE_P(ModeChoice, WalkLimit, testing::ValuesIn(kWalkLimitCases),
    [](const auto& info) { return std::string(info.param.Name); });

// The reader takes at most Capacity(5) bytes of body: a payload beyond that
// would be written but never read back, so it fits no mode.
struct UnreadableCase {
    const char* Name;
    int32_t Side;
    size_t PayloadBytes;
};
const UnreadableCase kUnreadableCases[] = {
    // 36 x 36: Capacity(5) = 3 * 1296 - 4096 < 0, no body is ever read.
    { "NoRoomToReadAnyBody", 36, 2 },
    // 37 x 37 (stride 112): Capacity(5) = 3 * 1381 - 4096 = 47.
    { "BodyLongerThanTheReaderTakes", 37, 48 },
    // 12 x 12: not even the mode header would fit; refused before it.
    { "NoRoomForTheModeHeader", 12, 4 },
};

class UnreadableBody : public testing::TestWithParam<UnreadableCase> { };

TEST_P(UnreadableBody, IsRefusedBeforeAnythingButTheQuestionHeader)
{
    const UnreadableCase& c = GetParam();
    FlowHarness h;
    h.LoadBitmap("c.bmp", c.Side, c.Side, 24, 17);
    EXPECT_FALSE(h.Encode(h.Request(NoiseBytes(c.PayloadBytes, 3), "", false)));
    EXPECT_EQ(h.Front.Log.Messages(), std::vector<std::string> { "Warn: Could not find a suitable encoder." });
    EXPECT_EQ(h.Front.Progress.Created, 0);
}

INSTANTIATE_TEST_SUITE_P(SmallContainers, UnreadableBody, testing::ValuesIn(kUnreadableCases),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(EncodeRun, BodyTheReaderTakesWholeRoundTrips)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 37, 37, 24, 17);
    ASSERT_EQ(h.Engine.Capacity(5), 47);
    const std::vector<uint8_t> payload = StoredStream(47, 4);
    ASSERT_EQ(payload.size(), 47u);
    ASSERT_TRUE(h.Encode(h.Request(payload, "", false)));
    EXPECT_EQ(h.DecodeFile(h.SaveEncoded()).Outcome, TextDecoded);
}

TEST(Payload, EmptyTextCompressesToEightBytes)
{
    const auto payload = CompressPayload(std::string());
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->size(), 8u);
}

TEST(Payload, CompressesFileBytesAsZlibDoes)
{
    FlowHarness h;
    const std::vector<uint8_t> bytes = NoiseBytes(70000, 9);
    const std::string path = h.Scratch.File("in/data.bin");
    WriteBytes(path, bytes);
    const auto read = ReadWholeFile(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, bytes);
    const auto payload = CompressPayload(read->data(), read->size());
    ASSERT_TRUE(payload);
    std::vector<uint8_t> back(bytes.size());
    uLongf length = back.size();
    ASSERT_EQ(uncompress(back.data(), &length, payload->data(), payload->size()), Z_OK);
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(ReadWholeFile(h.Scratch.Path() + "/missing"));
}

} // namespace
} // namespace lumaquill::test
