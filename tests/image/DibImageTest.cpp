#include "image/DibImage.h"

#include "image/BmpFixture.h"
#include "image/BmpFormat.h"
#include "image/CDibException.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using namespace bmptest;

bool Load(DibImage& image, const std::string& bytes)
{
    std::istringstream stream = StreamOf(bytes);
    return image.Read(stream) == bytes.size();
}

std::string Written(DibImage& image)
{
    std::ostringstream out(std::ios::out | std::ios::binary);
    image.Write(out);
    return out.str();
}

uint32_t FieldAt(const std::string& bytes, size_t offset)
{
    return Load32Le(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}

TEST(DibImageTest, AFreshImageIsEmpty)
{
    DibImage image;
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_EQ(image.PixelBytes(), 0u);
    EXPECT_TRUE(image.InfoHeader().empty());
    EXPECT_FALSE(image.BuildPalette());
    std::ostringstream out;
    EXPECT_EQ(image.Write(out), 0u);
    EXPECT_TRUE(out.str().empty());
}

TEST(DibImageTest, StrideCoversEveryBitCountWithRowsPaddedToFourBytes)
{
    struct Case {
        uint16_t Bits;
        int32_t Width;
        uint32_t Stride;
    };
    const Case cases[] = {
        { 1, 1, 4 },
        { 1, 32, 4 },
        { 1, 33, 8 },
        { 4, 9, 8 },
        { 8, 5, 8 },
        { 16, 3, 8 },
        { 24, 1, 4 },
        { 24, 3, 12 },
        { 24, 47, 144 },
        { 32, 3, 12 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Bits << " bits, width " << c.Width);
        BmpLayout layout;
        layout.BitCount = c.Bits;
        layout.Width = c.Width;
        layout.Height = 3;
        layout.Table = TableOf(bmp::ColorCount(c.Bits, 0));
        layout.Rows.assign(size_t(c.Stride) * 3, 0);
        DibImage image;
        ASSERT_TRUE(Load(image, BuildBmp(layout)));
        EXPECT_EQ(image.Stride(), c.Stride);
        EXPECT_EQ(image.PixelBytes(), c.Stride * 3);
    }
}

TEST(DibImageTest, ColourTableSizeFollowsColoursUsedOrTheBitCount)
{
    struct Case {
        const char* Name;
        uint16_t Bits;
        uint32_t ColorsUsed;
        uint16_t Count;
    };
    const Case cases[] = {
        { "1 bit", 1, 0, 2 },
        { "4 bits", 4, 0, 16 },
        { "8 bits", 8, 0, 256 },
        { "16 bits", 16, 0, 0 },
        { "24 bits", 24, 0, 0 },
        { "32 bits", 32, 0, 0 },
        { "24 bits with colours used", 24, 3, 3 },
        { "8 bits with colours used", 8, 7, 7 },
        { "only the low 16 bits of 65536 + 5 count", 8, 65536 + 5, 5 },
        { "65536 counts as none", 8, 65536, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        BmpLayout layout;
        layout.BitCount = c.Bits;
        layout.ColorsUsed = c.ColorsUsed;
        layout.Table = TableOf(c.Count);
        layout.Rows.assign(size_t(StrideOf(c.Bits, 5)) * 4, 0);
        DibImage image;
        ASSERT_TRUE(Load(image, BuildBmp(layout)));
        EXPECT_EQ(image.ColorCount(), c.Count);
        EXPECT_EQ(image.PaletteBytes(), c.Count * 4u);
        EXPECT_EQ(image.InfoHeader().size(), 40u + c.Count * 4u);
        EXPECT_EQ(image.Palette().size(), c.Count);
    }
}

TEST(DibImageTest, PixelsAreNumberedFromTheTopWhileRowsAreStoredBottomUp)
{
    BmpLayout layout = PatternLayout(3, 2, 24);
    layout.Rows.assign(24, 0);
    DibImage image;
    ASSERT_TRUE(Load(image, BuildBmp(layout)));
    ASSERT_EQ(image.Stride(), 12u);
    image.SetPixel(0, 1, 0x112233);
    image.SetPixel(0, 2, 0x445566);
    const std::vector<uint8_t>& rows = image.Pixels();
    // (0, height) is the first byte of the block, (0, 1) the first pixel of
    // the last stored row.
    EXPECT_EQ(rows[0], 0x66);
    EXPECT_EQ(rows[1], 0x55);
    EXPECT_EQ(rows[2], 0x44);
    EXPECT_EQ(rows[12], 0x33);
    EXPECT_EQ(rows[13], 0x22);
    EXPECT_EQ(rows[14], 0x11);
    EXPECT_EQ(image.GetPixel(0, 1), 0x112233u);
    EXPECT_EQ(image.GetPixel(0, 2), 0x445566u);
}

TEST(DibImageTest, GetPixelReadsEveryBitCount)
{
    struct Case {
        const char* Name;
        uint16_t Bits;
        uint32_t ColorsUsed;
        std::vector<uint8_t> Row;
        int32_t X;
        uint32_t Colour;
    };
    // Tables hold TableOf(ColorCount) entries.
    const Case cases[] = {
        { "1 bit, leftmost is the high bit", 1, 0, { 0x80, 0, 0, 0 }, 0, TableEntryColour(1) },
        { "1 bit, second pixel", 1, 0, { 0x80, 0, 0, 0 }, 1, TableEntryColour(0) },
        { "1 bit, ninth pixel", 1, 0, { 0x00, 0x80, 0, 0 }, 8, TableEntryColour(1) },
        { "4 bits, even x is the high nibble", 4, 0, { 0x3C, 0, 0, 0 }, 0, TableEntryColour(3) },
        { "4 bits, odd x is the low nibble", 4, 0, { 0x3C, 0, 0, 0 }, 1, TableEntryColour(12) },
        { "4 bits, entry beyond the table", 4, 2, { 0x3C, 0, 0, 0 }, 1, 0 },
        { "8 bits", 8, 0, { 0, 0xFF, 0, 0 }, 1, TableEntryColour(255) },
        { "8 bits, entry beyond the table", 8, 3, { 0, 3, 0, 0 }, 1, 0 },
        { "8 bits, last entry of a short table", 8, 3, { 0, 2, 0, 0 }, 1, TableEntryColour(2) },
        { "16 bits as 5-bit values", 16, 0, { 0, 0, 0x43, 0x04 }, 1, 0x010203 },
        { "16 bits, top bit ignored", 16, 0, { 0xFF, 0xFF, 0, 0 }, 0, 0x1F1F1F },
        { "24 bits", 24, 0, { 0, 0, 0, 0x11, 0x22, 0x33, 0, 0 }, 1, 0x332211 },
        { "32 bits with the fourth byte", 32, 0, { 0, 0, 0, 0, 0x11, 0x22, 0x33, 0x44 }, 1, 0x44332211 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        BmpLayout layout;
        layout.BitCount = c.Bits;
        layout.Width = int32_t(c.Row.size() * 8 / c.Bits);
        layout.Height = 1;
        layout.ColorsUsed = c.ColorsUsed;
        layout.Table = TableOf(bmp::ColorCount(c.Bits, c.ColorsUsed));
        layout.Rows = c.Row;
        DibImage image;
        ASSERT_TRUE(Load(image, BuildBmp(layout)));
        EXPECT_EQ(image.GetPixel(c.X, 1), c.Colour);
    }
}

uint32_t CodeOf(const std::function<void()>& access)
{
    try {
        access();
    } catch (const CDibException& e) {
        return e.Code;
    }
    return 0;
}

TEST(DibImageTest, AccessOutsideThePictureRaisesCodeTwo)
{
    struct Case {
        int32_t X;
        int32_t Y;
    };
    const Case outside[] = {
        { -1, 1 },
        { 4, 1 },
        { 0, 0 },
        { 0, 4 },
        { INT_MIN, 1 },
        { INT_MAX, 1 },
        { 0, INT_MIN },
        { 0, INT_MAX },
    };
    DibImage image;
    ASSERT_TRUE(Load(image, BuildBmp(PatternLayout(4, 3, 24))));
    BmpLayout indexed = PatternLayout(4, 3, 8);
    indexed.Table = TableOf(256);
    indexed.Rows.assign(12, 0);
    DibImage indexedImage;
    ASSERT_TRUE(Load(indexedImage, BuildBmp(indexed)));
    DibImage empty;
    for (const Case& c : outside) {
        SCOPED_TRACE(testing::Message() << "(" << c.X << ", " << c.Y << ")");
        EXPECT_EQ(CodeOf([&] { image.GetPixel(c.X, c.Y); }), CDibException::kOutOfRange);
        EXPECT_EQ(CodeOf([&] { image.SetPixel(c.X, c.Y, 0); }), CDibException::kOutOfRange);
        EXPECT_EQ(CodeOf([&] { indexedImage.SetPixel(c.X, c.Y, 0); }), CDibException::kOutOfRange);
        EXPECT_EQ(CodeOf([&] { empty.GetPixel(c.X, c.Y); }), CDibException::kOutOfRange);
    }
    EXPECT_EQ(CodeOf([&] { image.GetPixel(3, 3); }), 0u);
    EXPECT_EQ(CodeOf([&] { empty.GetPixel(0, 1); }), CDibException::kOutOfRange);
}

TEST(DibImageTest, SetPixelOnColourTableImagesRaisesCodeOneAtValidCoordinates)
{
    for (const uint16_t bits : { 1, 4, 8 }) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        BmpLayout layout;
        layout.BitCount = bits;
        layout.Width = 3;
        layout.Height = 2;
        layout.Table = TableOf(bmp::ColorCount(bits, 0));
        layout.Rows.assign(8, 0);
        DibImage image;
        ASSERT_TRUE(Load(image, BuildBmp(layout)));
        EXPECT_EQ(CodeOf([&] { image.SetPixel(0, 1, 0); }), CDibException::kWriteToIndexed);
        EXPECT_EQ(CodeOf([&] { image.SetPixel(2, 2, 0); }), CDibException::kWriteToIndexed);
        EXPECT_EQ(image.Pixels(), std::vector<uint8_t>(8, 0));
    }
}

TEST(DibImageTest, SetPixelChangesOnlyThatPixelsBytes)
{
    struct Case {
        const char* Name;
        uint16_t Bits;
        int32_t X;
        int32_t Y;
        uint32_t Colour;
        size_t Offset;
        std::vector<uint8_t> Stored;
    };
    // 3 x 2 pictures: the last pixel of a row is followed by padding.
    const Case cases[] = {
        { "24 bits, first pixel of the top row", 24, 0, 1, 0xAA112233, 12, { 0x33, 0x22, 0x11 } },
        { "24 bits, last pixel before the padding", 24, 2, 2, 0x445566, 6, { 0x66, 0x55, 0x44 } },
        { "32 bits, all four bytes", 32, 1, 1, 0xAA112233, 16, { 0x33, 0x22, 0x11, 0xAA } },
        { "16 bits, 5-bit values", 16, 2, 1, 0x1F0103, 12, { 0x23, 0x7C } },
        { "16 bits, only the low 5 bits of each", 16, 0, 2, 0xFF2021, 0, { 0x01, 0x7C } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        BmpLayout layout = PatternLayout(3, 2, c.Bits);
        const uint32_t stride = StrideOf(c.Bits, 3);
        layout.Rows.assign(size_t(stride) * 2, 0x5A);
        DibImage image;
        ASSERT_TRUE(Load(image, BuildBmp(layout)));
        image.SetPixel(c.X, c.Y, c.Colour);
        std::vector<uint8_t> expected = layout.Rows;
        std::copy(c.Stored.begin(), c.Stored.end(), expected.begin() + std::ptrdiff_t(c.Offset));
        EXPECT_EQ(image.Pixels(), expected);
    }
}

TEST(DibImageTest, OddSizedPicturesRoundTripByteForByte)
{
    for (const uint16_t bits : { 24, 32 }) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        BmpLayout layout = PatternLayout(47, 33, bits);
        layout.ImageSize = StrideOf(bits, 47) * 33;
        const std::string file = BuildBmp(layout);
        DibImage image;
        std::istringstream stream = StreamOf(file);
        ASSERT_EQ(image.Read(stream), file.size());
        EXPECT_EQ(image.GetPixel(0, 1), PatternColour(0, 1) & (bits == 24 ? 0xFFFFFFu : 0xFFFFFFFFu));
        EXPECT_EQ(image.GetPixel(46, 33), PatternColour(46, 33) & (bits == 24 ? 0xFFFFFFu : 0xFFFFFFFFu));
        const std::string written = Written(image);
        EXPECT_EQ(written, file);
        DibImage again;
        ASSERT_TRUE(Load(again, written));
        EXPECT_EQ(again.Pixels(), image.Pixels());
    }
}

TEST(DibImageTest, WritingStoresTheComputedImageSizeAndPlainOffsets)
{
    BmpLayout layout = PatternLayout(5, 3, 24);
    layout.ImageSize = 0;
    DibImage image;
    ASSERT_TRUE(Load(image, BuildBmp(layout)));
    std::ostringstream out(std::ios::out | std::ios::binary);
    const uint32_t imageSize = 16 * 3;
    EXPECT_EQ(image.Write(out), 54 + imageSize);
    const std::string written = out.str();
    ASSERT_EQ(written.size(), 54 + imageSize);
    EXPECT_EQ(written.substr(0, 2), "BM");
    EXPECT_EQ(FieldAt(written, 2), 54 + imageSize);
    EXPECT_EQ(FieldAt(written, 6), 0u);
    EXPECT_EQ(FieldAt(written, 10), 54u);
    EXPECT_EQ(FieldAt(written, 14 + 20), imageSize);
    EXPECT_EQ(Load32Le(image.InfoHeader().data() + 20), imageSize);
    EXPECT_EQ(written.substr(54), Bytes(layout.Rows));
}

TEST(DibImageTest, WritingAColourTableImagePlacesTheRowsBehindTheTable)
{
    BmpLayout layout;
    layout.BitCount = 8;
    layout.Width = 3;
    layout.Height = 2;
    layout.ColorsUsed = 3;
    layout.Table = TableOf(3);
    layout.Rows = { 0, 1, 2, 0, 2, 1, 0, 0 };
    DibImage image;
    ASSERT_TRUE(Load(image, BuildBmp(layout)));
    const std::string written = Written(image);
    EXPECT_EQ(FieldAt(written, 10), 54u + 12);
    EXPECT_EQ(FieldAt(written, 2), 54u + 12 + 8);
    EXPECT_EQ(written.size(), 54u + 12 + 8);
    EXPECT_EQ(written.substr(54, 12), Bytes(layout.Table));
}

TEST(DibImageTest, BytesBehindTheLastRowAreNeitherReadNorWritten)
{
    BmpLayout layout = PatternLayout(5, 3, 24);
    layout.ImageSize = 48;
    const std::vector<uint8_t> rows = layout.Rows;
    layout.Rows.insert(layout.Rows.end(), { 1, 2, 3, 4, 5, 6, 7 });
    const std::string file = BuildBmp(layout);
    DibImage image;
    ASSERT_TRUE(Load(image, file));
    EXPECT_EQ(image.PixelBytes(), 48u);
    const std::string written = Written(image);
    EXPECT_EQ(written.size(), 54u + 48);
    EXPECT_EQ(written.substr(54), Bytes(rows));
    EXPECT_EQ(FieldAt(written, 2), 54u + 48);
}

TEST(DibImageTest, AFailingStreamMakesWriteReportNothingWritten)
{
    DibImage image;
    ASSERT_TRUE(Load(image, BuildBmp(PatternLayout(5, 3, 24))));
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(image.Write(out), 0u);
}

TEST(DibImageTest, ThePaletteTakesRedGreenAndBlueOfEachTableEntry)
{
    BmpLayout layout;
    layout.BitCount = 8;
    layout.Width = 3;
    layout.Height = 1;
    layout.ColorsUsed = 3;
    layout.Table = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    layout.Rows.assign(4, 0);
    DibImage image;
    ASSERT_TRUE(Load(image, BuildBmp(layout)));
    ASSERT_EQ(image.Palette().size(), 3u);
    const PaletteEntry& last = image.Palette()[2];
    EXPECT_EQ(last.Red, 11);
    EXPECT_EQ(last.Green, 10);
    EXPECT_EQ(last.Blue, 9);
    EXPECT_EQ(last.Flags, 0);
    EXPECT_EQ(image.Palette()[0].Red, 3);

    ASSERT_TRUE(Load(image, BuildBmp(PatternLayout(3, 1, 24))));
    EXPECT_TRUE(image.BuildPalette());
    EXPECT_TRUE(image.Palette().empty());
}

TEST(DibImageTest, ClearEmptiesALoadedImage)
{
    DibImage image;
    ASSERT_TRUE(Load(image, BuildBmp(PatternLayout(5, 3, 24))));
    image.Clear();
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Stride(), 0u);
    EXPECT_TRUE(image.InfoHeader().empty());
    EXPECT_TRUE(image.Pixels().empty());
}

} // namespace
} // namespace lumaquill
