#include "engine/StegEngine.h"
#include "engine/WalkTestSupport.h"
#include "keys/RuntimeRandom.h"
#include "support/RecordingProgress.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

namespace lumaquill {
namespace {

using test::RecordingProgress;
using walktest::Blue;
using walktest::Green;
using walktest::LoadFromBytes;
using walktest::MakeBitmap;
using walktest::MakeFlatBitmap;
using walktest::Red;
using walktest::Rgb;
using walktest::StartWalk;

constexpr uint32_t kColourBits = 0xFFFFFF;

// A 20 x 15 container walked sequentially (HeaderMode: no whitening), so
// positions run (1, 1), (2, 1), ... and bytes are stored as they are.
class EmbeddingTest : public ::testing::Test {
protected:
    void Load(uint32_t colour, uint16_t bits = 24)
    {
        ASSERT_TRUE(LoadFromBytes(Engine, MakeFlatBitmap(20, 15, bits, colour)));
        Engine.HeaderMode = true;
        Engine.Keys.LevelByte = 128;
        Engine.Keys.CheckByte = 128;
        StartWalk(Engine);
    }
    uint32_t At(int32_t x, int32_t y = 1) const { return Engine.GetPixel(x, y) & kColourBits; }
    Position Current() const { return { Engine.CurX, Engine.CurY }; }

    StegEngine Engine;
};

struct OneByteCase {
    const char* Name;
    int32_t Mode;
    uint32_t Fill;
    uint8_t Value;
    std::vector<uint32_t> Pixels; // (1, 1), (2, 1), ... after the write
};

// The carrier bits of every mode; the lower carrier bit of a channel takes
// the lower bit of the value.
TEST_F(EmbeddingTest, OneByteInEachFixedMode)
{
    const OneByteCase cases[] = {
        // 0xA5: red bits 0-2 = 5, green = 4, blue bits 0-1 = 2.
        { "mode 3 on grey 200", 3, Rgb(200, 200, 200), 0xA5, { Rgb(205, 204, 202), Rgb(200, 200, 200) } },
        // Bits 0-2, 3-5, 6-7: the third pixel's blue stays as it was.
        { "mode 1", 1, Rgb(10, 20, 30), 0xFF, { Rgb(11, 21, 31), Rgb(11, 21, 31), Rgb(11, 21, 30), Rgb(10, 20, 30) } },
        { "mode 1 clears", 1, Rgb(11, 21, 31), 0x00,
            { Rgb(10, 20, 30), Rgb(10, 20, 30), Rgb(10, 20, 31), Rgb(11, 21, 31) } },
        // 0xE4 = 11 10 01 00: red 0, green 1, blue 2; then red 3.
        { "mode 2", 2, Rgb(16, 32, 64), 0xE4, { Rgb(16, 33, 66), Rgb(19, 32, 64), Rgb(16, 32, 64) } },
    };
    for (const OneByteCase& c : cases) {
        Load(c.Fill);
        Engine.Keys.Mode = c.Mode;
        ASSERT_TRUE(Engine.WriteByte(c.Value)) << c.Name;
        for (size_t i = 0; i < c.Pixels.size(); ++i)
            EXPECT_EQ(At(int32_t(i) + 1), c.Pixels[i]) << c.Name << " pixel " << i + 1;
        EXPECT_EQ(Current(), (Position { int32_t(c.Pixels.size()), 1 })) << c.Name;
        StartWalk(Engine);
        uint8_t out = 0;
        EXPECT_TRUE(Engine.ReadByte(out, false)) << c.Name;
        EXPECT_EQ(out, c.Value) << c.Name;
    }
}

// Seeded with 1, the runtime generator gives 41, 18467, 6334, 26500, 19169,
// 15724, 11478, 29358 (its rule state * 214013 + 2531011, bits 16-30): the
// channels red, red, green, green, red, green, blue, blue.
TEST_F(EmbeddingTest, ModeZeroTakesItsChannelFromTheRuntimeGenerator)
{
    Load(Rgb(0, 0, 0));
    Engine.Keys.Mode = 0;
    RuntimeSrand(1);
    ASSERT_TRUE(Engine.WriteByte(0xFF));
    const uint32_t expected[] = { Rgb(1, 0, 0), Rgb(1, 0, 0), Rgb(0, 1, 0), Rgb(0, 1, 0), Rgb(1, 0, 0), Rgb(0, 1, 0),
        Rgb(0, 0, 1), Rgb(0, 0, 1) };
    for (int32_t i = 0; i < 8; ++i)
        EXPECT_EQ(At(i + 1), expected[i]) << "pixel " << i + 1;
    EXPECT_EQ(Current(), (Position { 9, 1 }));
    RuntimeSrand(1);
    StartWalk(Engine);
    uint8_t out = 0;
    EXPECT_TRUE(Engine.ReadByte(out, false));
    EXPECT_EQ(out, 0xFF);
}

struct AvoidanceCase {
    const char* Name;
    uint32_t Fill;
    uint32_t Stored;
};

// A data pixel whose average comes out at LevelByte has its blue moved by 8,
// up when blue <= 128, so it never reads as an end pixel.
TEST_F(EmbeddingTest, DataPixelsNeverReadAsEndPixels)
{
    const AvoidanceCase cases[] = {
        { "grey 128", Rgb(128, 128, 128), Rgb(128, 128, 136) },
        { "blue above 128", Rgb(120, 128, 136), Rgb(120, 128, 128) },
    };
    for (const AvoidanceCase& c : cases) {
        Load(c.Fill);
        Engine.Keys.Mode = 3;
        ASSERT_TRUE(Engine.WriteByte(0x00)) << c.Name;
        EXPECT_EQ(At(1), c.Stored) << c.Name;
        StartWalk(Engine);
        uint8_t out = 1;
        EXPECT_TRUE(Engine.ReadByte(out, false)) << c.Name;
        EXPECT_EQ(out, 0x00) << c.Name;
    }
}

// Three bytes fill blue, green, red of one pixel; the fourth goes into the
// blue of the next pixel. The fourth byte of a 32-bit pixel is kept.
TEST_F(EmbeddingTest, ModeFourPacksThreeBytesAPixel)
{
    for (uint16_t bits : { uint16_t(24), uint16_t(32) }) {
        Load(Rgb(1, 2, 3), bits);
        Engine.Keys.Mode = 4;
        for (uint8_t value : { 0x11, 0x22, 0x33, 0x44 })
            ASSERT_TRUE(Engine.WriteByte(value)) << bits;
        EXPECT_EQ(At(1), Rgb(0x33, 0x22, 0x11)) << bits;
        EXPECT_EQ(At(2), Rgb(1, 2, 0x44)) << bits;
        EXPECT_EQ(At(3), Rgb(1, 2, 3)) << bits;
        EXPECT_EQ(Current(), (Position { 2, 1 })) << bits;
        EXPECT_EQ(Engine.WriteByteIndex, 1) << bits;
        if (bits == 32) {
            EXPECT_EQ(Engine.GetPixel(1, 1) >> 24, 0xA7u);
            EXPECT_EQ(Engine.GetPixel(2, 1) >> 24, 0xA7u);
        }
        StartWalk(Engine);
        for (uint8_t value : { 0x11, 0x22, 0x33, 0x44 }) {
            uint8_t out = 0;
            EXPECT_TRUE(Engine.ReadByte(out, false)) << bits;
            EXPECT_EQ(out, value) << bits;
        }
        EXPECT_EQ(Engine.ReadByteIndex, 1) << bits;
    }
}

// The reader marks the pixel it moves to at once, so after three bytes the
// next pixel already counts as used.
TEST_F(EmbeddingTest, ModeFourReadMarksTheNextPixelAtOnce)
{
    Load(Rgb(1, 2, 3));
    Engine.Keys.Mode = 4;
    uint8_t out = 0;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Engine.ReadByte(out, false));
    EXPECT_EQ(Current(), (Position { 2, 1 }));
    EXPECT_TRUE(Engine.UsedPixels.IsUsed(2, 1));
    EXPECT_EQ(Engine.UsedPixels.Remaining, 234 - 2);
}

// Blue, green, red rise by one in turn until the average is 128; then the
// CheckByte 128 follows in EmbedMode 1 (its bit 7 is the third pixel's green).
TEST_F(EmbeddingTest, EndPixelOnBlackBecomesGrey128)
{
    Load(Rgb(0, 0, 0));
    Engine.Keys.Mode = 1;
    ASSERT_TRUE(Engine.WriteEndPixel());
    EXPECT_EQ(At(1), Rgb(128, 128, 128));
    EXPECT_EQ(At(2), Rgb(0, 0, 0));
    EXPECT_EQ(At(3), Rgb(0, 0, 0));
    EXPECT_EQ(At(4), Rgb(0, 1, 0));
    EXPECT_EQ(Current(), (Position { 5, 1 }));
}

struct EndPixelCase {
    const char* Name;
    uint8_t Level;
    uint32_t Fill;
    uint32_t Expected;
};

TEST_F(EmbeddingTest, EndPixelMovesOneChannelAtATimeBlueFirst)
{
    const EndPixelCase cases[] = {
        // Sum 330 down to 302 in 28 steps: nine rounds, then blue once more.
        { "above", 100, Rgb(110, 110, 110), Rgb(101, 101, 100) },
        // Sum 331 down to 302 in 29 steps: nine rounds, then blue and green.
        { "blue then green", 100, Rgb(110, 110, 111), Rgb(101, 100, 101) },
        { "white to 0", 0, Rgb(255, 255, 255), Rgb(1, 1, 0) },
        // Green already at the level stays; blue falls as red rises until
        // both reach 128.
        { "around the level", 128, Rgb(0, 128, 255), Rgb(128, 128, 128) },
        { "already level", 128, Rgb(100, 128, 156), Rgb(100, 128, 156) },
    };
    for (const EndPixelCase& c : cases) {
        Load(c.Fill);
        Engine.Keys.Mode = 1;
        Engine.Keys.LevelByte = c.Level;
        ASSERT_TRUE(Engine.WriteEndPixel()) << c.Name;
        EXPECT_EQ(At(1), c.Expected) << c.Name;
    }
}

TEST_F(EmbeddingTest, EndPixelAtAnExhaustedWalkTouchesNothing)
{
    Load(Rgb(0, 0, 0));
    Engine.Keys.Mode = 1;
    Engine.CurX = -1;
    Engine.CurY = -1;
    EXPECT_FALSE(Engine.WriteEndPixel());
    EXPECT_EQ(Engine.UsedPixels.Remaining, 234);
    EXPECT_EQ(At(1), Rgb(0, 0, 0));
}

// The walk runs out right after the end pixel: it is written, but the
// CheckByte is not, and the caller learns so.
TEST_F(EmbeddingTest, EndPixelReportsAnUnwrittenCheckByte)
{
    Load(Rgb(0, 0, 0));
    Engine.Keys.Mode = 1;
    Engine.UsedPixels.Remaining = 100;
    EXPECT_FALSE(Engine.WriteEndPixel());
    EXPECT_EQ(At(1), Rgb(128, 128, 128));
    EXPECT_EQ(Current(), (Position { -1, -1 }));
}

TEST_F(EmbeddingTest, ReadingAnEndPixelMarksItAndStaysThere)
{
    Load(Rgb(128, 128, 128));
    Engine.Keys.Mode = 1;
    uint8_t out = 0;
    EXPECT_FALSE(Engine.ReadByte(out, false));
    EXPECT_EQ(out, 255);
    EXPECT_EQ(Current(), (Position { 1, 1 }));
    EXPECT_TRUE(Engine.UsedPixels.IsUsed(1, 1));
    // With ignoreEnd the same pixels are read as data.
    EXPECT_TRUE(Engine.ReadByte(out, true));
    EXPECT_EQ(Current(), (Position { 4, 1 }));
}

TEST_F(EmbeddingTest, ByteOperationsFailAtAnExhaustedWalk)
{
    Load(Rgb(0, 0, 0));
    for (int32_t mode : { 0, 1, 2, 3, 4 }) {
        Engine.Keys.Mode = mode;
        Engine.CurX = -1;
        Engine.CurY = -1;
        uint8_t out = 7;
        EXPECT_FALSE(Engine.WriteByte(0x5A)) << mode;
        EXPECT_FALSE(Engine.ReadByte(out, false)) << mode;
        EXPECT_EQ(out, 0) << mode;
    }
    EXPECT_EQ(Engine.UsedPixels.Remaining, 234);
}

TEST_F(EmbeddingTest, ByteOperationsFailWithoutAnImage)
{
    StegEngine empty;
    empty.CurX = 1;
    empty.CurY = 1;
    uint8_t out = 0;
    EXPECT_FALSE(empty.WriteByte(1));
    EXPECT_FALSE(empty.ReadByte(out, true));
    EXPECT_FALSE(empty.WriteEndPixel());
}

// 135 positions hold 45 bytes in EmbedMode 1; the 46th finds the walk spent.
TEST_F(EmbeddingTest, WriteBufferStopsWhereTheWalkRunsOut)
{
    Load(Rgb(0, 0, 0));
    Engine.Keys.Mode = 1;
    const std::vector<uint8_t> data(46, 0x3C);
    EXPECT_FALSE(Engine.WriteBuffer(data.data(), uint32_t(data.size())));
    EXPECT_EQ(Engine.UsedPixels.Remaining, 99);
    StartWalk(Engine);
    EXPECT_TRUE(Engine.WriteBuffer(data.data(), 45));
}

// An EmbedMode outside 0..4 writes nothing; read, it takes no bits and only
// ends where the walk runs out.
TEST_F(EmbeddingTest, UndefinedModes)
{
    Load(Rgb(0, 0, 0));
    Engine.Keys.Mode = 5;
    EXPECT_FALSE(Engine.WriteByte(0xFF));
    EXPECT_EQ(Engine.UsedPixels.Remaining, 234);
    uint8_t out = 1;
    EXPECT_FALSE(Engine.ReadByte(out, false));
    EXPECT_EQ(out, 0);
    EXPECT_EQ(Engine.UsedPixels.Remaining, 99);
}

TEST_F(EmbeddingTest, ReadBufferEndsAFieldAtItsEndPixel)
{
    Load(Rgb(0, 0, 0));
    Engine.Keys.Mode = 1;
    const uint8_t field[] = { 1, 2, 3, 4, 5 };
    ASSERT_TRUE(Engine.WriteBuffer(field, 5));
    ASSERT_TRUE(Engine.WriteEndPixel());
    StartWalk(Engine);
    std::array<uint8_t, 20> dest {};
    uint32_t count = 20;
    EXPECT_TRUE(Engine.ReadBuffer(dest.data(), count, false));
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(std::vector<uint8_t>(dest.begin(), dest.begin() + 5), std::vector<uint8_t>(field, field + 5));
    // The end pixel is marked and the position still on it.
    EXPECT_EQ(Current(), (Position { 16, 1 }));
    EXPECT_TRUE(Engine.UsedPixels.IsUsed(16, 1));
}

// A read that runs out of positions ends the field with the whole bytes read
// and reports false.
TEST_F(EmbeddingTest, ReadBufferEndsAFieldWhereTheWalkRunsOut)
{
    Load(Rgb(0, 0, 0));
    Engine.Keys.Mode = 3;
    std::vector<uint8_t> dest(200);
    uint32_t count = 200;
    EXPECT_FALSE(Engine.ReadBuffer(dest.data(), count, false));
    EXPECT_EQ(count, 135u);
}

class MarkerTest : public EmbeddingTest {
protected:
    void SetUp() override
    {
        Load(Rgb(9, 9, 9));
        Engine.Keys.Mode = 4;
        for (size_t i = 0; i < Engine.Keys.Marker.size(); ++i)
            Engine.Keys.Marker[i] = uint8_t(200 + i);
    }
    void WriteFieldAndMarker(uint8_t fieldLength)
    {
        std::vector<uint8_t> field(fieldLength);
        for (uint8_t i = 0; i < fieldLength; ++i)
            field[i] = uint8_t(i + 1);
        ASSERT_TRUE(Engine.WriteBuffer(field.data(), fieldLength));
        ASSERT_TRUE(Engine.WriteBuffer(Engine.Keys.Marker.data(), 20));
        StartWalk(Engine);
    }
};

TEST_F(MarkerTest, AFieldClosedByTheMarkerReadsBackWithItsLength)
{
    for (uint8_t length : { 0, 7, 30 }) {
        WriteFieldAndMarker(length);
        std::vector<uint8_t> dest(50);
        uint32_t count = 50;
        EXPECT_FALSE(Engine.ReadBuffer(dest.data(), count, false)) << int(length);
        EXPECT_EQ(count, length);
        for (uint8_t i = 0; i < length; ++i)
            EXPECT_EQ(dest[i], i + 1);
        StartWalk(Engine);
    }
}

// With 50 bytes asked for, a field of 31 or more leaves no room to see the
// whole Marker: all 50 bytes come back.
TEST_F(MarkerTest, ALongFieldComesBackWhole)
{
    WriteFieldAndMarker(35);
    std::vector<uint8_t> dest(50);
    uint32_t count = 50;
    EXPECT_TRUE(Engine.ReadBuffer(dest.data(), count, false));
    EXPECT_EQ(count, 50u);
    EXPECT_EQ(dest[34], 35);
    EXPECT_EQ(dest[35], Engine.Keys.Marker[0]);
    EXPECT_EQ(dest[49], Engine.Keys.Marker[14]);
}

// The Marker closes fields in EmbedMode 4 only.
TEST_F(MarkerTest, OtherModesIgnoreTheMarker)
{
    Engine.Keys.Mode = 3;
    ASSERT_TRUE(Engine.WriteBuffer(Engine.Keys.Marker.data(), 20));
    StartWalk(Engine);
    std::vector<uint8_t> dest(30);
    uint32_t count = 30;
    EXPECT_TRUE(Engine.ReadBuffer(dest.data(), count, false));
    EXPECT_EQ(count, 30u);
}

class ProgressTest : public EmbeddingTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadFromBytes(Engine, MakeFlatBitmap(40, 40, 24, Rgb(9, 9, 9))));
        Engine.HeaderMode = true;
        Engine.Keys.Mode = 4;
        StartWalk(Engine);
        Engine.Progress = std::make_unique<RecordingProgress>(Log);
    }
    std::vector<std::string> Log;
};

TEST_F(ProgressTest, ShortWriteShowsOnlyTheFirstStep)
{
    const uint8_t data[] = { 1, 2 };
    ASSERT_TRUE(Engine.WriteBuffer(data, 2));
    EXPECT_EQ(Log, (std::vector<std::string> { "SetText Encoding Data. (0 of 2 bytes)", "StepIt" }));
}

TEST_F(ProgressTest, LongWriteShowsRangeStepsAndCompletion)
{
    const std::vector<uint8_t> data(2500, 0x42);
    ASSERT_TRUE(Engine.WriteBuffer(data.data(), 2500));
    EXPECT_EQ(Log,
        (std::vector<std::string> { "SetText Encoding Data", "SetRange 3", "SetStep 1", "SetPos 0",
            "SetText Encoding Data. (0 of 2500 bytes)", "StepIt", "SetText Encoding Data. (1000 of 2500 bytes)",
            "StepIt", "SetText Encoding Data. (2000 of 2500 bytes)", "StepIt", "SetText Encoding Complete" }));
}

TEST_F(ProgressTest, FailedWriteShowsNoCompletion)
{
    const std::vector<uint8_t> data(1001, 0x42);
    Engine.CurX = -1;
    Engine.CurY = -1;
    EXPECT_FALSE(Engine.WriteBuffer(data.data(), 1001));
    EXPECT_EQ(Log,
        (std::vector<std::string> { "SetText Encoding Data", "SetRange 2", "SetStep 1", "SetPos 0",
            "SetText Encoding Data. (0 of 1001 bytes)", "StepIt" }));
}

TEST_F(ProgressTest, ReadStepsWithoutPerStepCaptions)
{
    std::vector<uint8_t> dest(2500);
    uint32_t count = 2500;
    ASSERT_TRUE(Engine.ReadBuffer(dest.data(), count, true));
    EXPECT_EQ(Log,
        (std::vector<std::string> { "SetText Decoding Data", "SetRange 3", "SetStep 1", "SetPos 0", "StepIt", "StepIt",
            "StepIt", "SetText Decoding Complete" }));
    Log.clear();
    count = 1000;
    ASSERT_TRUE(Engine.ReadBuffer(dest.data(), count, true));
    EXPECT_EQ(Log, (std::vector<std::string> { "StepIt" }));
}

struct RoundTripCase {
    const char* Name;
    int32_t Mode;
    uint16_t Bits;
    uint32_t Size;
};

std::array<uint8_t, 36> TestKey(uint8_t salt)
{
    std::array<uint8_t, 36> key {};
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = uint8_t(salt + 13 * i);
    return key;
}

// Keys both generators as a run does before the payload; the whitening
// generator goes last, which also fixes the runtime generator's state.
void StartKeyedRun(StegEngine& engine, int32_t mode)
{
    engine.HeaderMode = false;
    engine.Keys.Mode = mode;
    engine.Keys.LevelByte = 100;
    engine.Keys.CheckByte = 77;
    for (size_t i = 0; i < engine.Keys.Marker.size(); ++i)
        engine.Keys.Marker[i] = uint8_t(31 * i + 5);
    const auto positionKey = TestKey(1);
    const auto whiteningKey = TestKey(2);
    engine.PositionGen.Reseed(positionKey.data());
    engine.WhiteningGen.Reseed(whiteningKey.data());
    StartWalk(engine);
}

// Whitened bytes written in each mode on a 47 x 33 container (odd width, so
// rows are padded) whose grey levels sit around LevelByte, so end-pixel
// avoidance happens often; a second engine with the same keys reads them
// back, closing End or Marker included, with the same generator draws.
TEST(EmbeddingRoundTripTest, EveryModeReadsBackWhatItWrote)
{
    const RoundTripCase cases[] = {
        { "mode 0", 0, 24, 120 },
        { "mode 1", 1, 24, 300 },
        { "mode 2", 2, 24, 500 },
        { "mode 3", 3, 24, 1100 },
        { "mode 3, 32-bit", 3, 32, 1100 },
        { "mode 4", 4, 24, 3000 },
        { "mode 4, 32-bit", 4, 32, 3000 },
    };
    const uint32_t seed = 4711;
    SCOPED_TRACE("seed " + std::to_string(seed));
    for (const RoundTripCase& c : cases) {
        std::mt19937 random(seed);
        const std::string container = MakeBitmap(47, 33, c.Bits,
            [&random](int32_t, int32_t) { return Rgb(95 + random() % 11, 95 + random() % 11, 95 + random() % 11); });
        std::vector<uint8_t> payload(c.Size);
        for (uint8_t& b : payload)
            b = uint8_t(random());

        StegEngine writer;
        ASSERT_TRUE(LoadFromBytes(writer, container)) << c.Name;
        StartKeyedRun(writer, c.Mode);
        ASSERT_TRUE(writer.WriteBuffer(payload.data(), c.Size)) << c.Name;
        if (c.Mode == 4)
            ASSERT_TRUE(writer.WriteBuffer(writer.Keys.Marker.data(), 20)) << c.Name;
        else
            ASSERT_TRUE(writer.WriteEndPixel()) << c.Name;
        const uint32_t writerRuntimeState = RuntimeRandState();

        StegEngine reader;
        ASSERT_TRUE(LoadFromBytes(reader, walktest::SaveToBytes(writer))) << c.Name;
        StartKeyedRun(reader, c.Mode);
        std::vector<uint8_t> read(c.Size + 50);
        uint32_t count = uint32_t(read.size());
        const bool ended = reader.ReadBuffer(read.data(), count, false);
        ASSERT_EQ(count, c.Size) << c.Name;
        read.resize(count);
        EXPECT_EQ(read, payload) << c.Name;
        if (c.Mode == 4) {
            EXPECT_FALSE(ended) << c.Name;
        } else {
            EXPECT_TRUE(ended) << c.Name;
            reader.UsedPixels.Mark(reader.CurX, reader.CurY);
            const Position next = reader.NextPosition();
            reader.CurX = next.X;
            reader.CurY = next.Y;
            uint8_t check = 0;
            EXPECT_TRUE(reader.ReadByte(check, false)) << c.Name;
            EXPECT_EQ(check, 77) << c.Name;
        }
        EXPECT_EQ(RuntimeRandState(), writerRuntimeState) << c.Name;
        EXPECT_EQ(reader.UsedPixels.Remaining, writer.UsedPixels.Remaining) << c.Name;
        EXPECT_EQ(reader.CurX, writer.CurX) << c.Name;
        EXPECT_EQ(reader.CurY, writer.CurY) << c.Name;
        EXPECT_EQ(reader.WhiteningGen.Range(0, 1 << 20), writer.WhiteningGen.Range(0, 1 << 20)) << c.Name;
        EXPECT_EQ(reader.PositionGen.Range(0, 1 << 20), writer.PositionGen.Range(0, 1 << 20)) << c.Name;
    }
}

} // namespace
} // namespace lumaquill
