#include "image/ScaledImage.h"

#include "image/BmpFixture.h"
#include "image/DibImage.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using namespace bmptest;

DibImage LoadedImage(const BmpLayout& layout)
{
    DibImage image;
    std::istringstream stream = StreamOf(BuildBmp(layout));
    EXPECT_NE(image.Read(stream), 0u);
    return image;
}

// A bottom-up picture whose stored pixels, row by row from the bottom, have
// the given colours.
DibImage PictureOf(int32_t width, int32_t height, uint16_t bits, const std::vector<uint32_t>& colours)
{
    BmpLayout layout = PatternLayout(width, height, bits);
    const uint32_t stride = StrideOf(bits, uint32_t(width));
    const uint32_t bytesPerPixel = bits / 8u;
    for (size_t i = 0; i < colours.size(); ++i) {
        uint8_t colour[4];
        Store32Le(colour, colours[i]);
        const size_t at = (i / size_t(width)) * stride + (i % size_t(width)) * bytesPerPixel;
        std::copy(colour, colour + bytesPerPixel, layout.Rows.begin() + std::ptrdiff_t(at));
    }
    return LoadedImage(layout);
}

// Stored pixel i (bottom row first) of a scaled picture.
uint32_t ScaledPixel(const ScaledImage& scaled, size_t i)
{
    const size_t stride = StrideOf(24, uint32_t(scaled.Width()));
    const uint8_t* p = scaled.Rows().data() + (i / size_t(scaled.Width())) * stride + (i % size_t(scaled.Width())) * 3;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

TEST(ScaledImageTest, ShrinkTargetIsThreeBytesAPayloadBytePlus4096)
{
    struct Case {
        uint32_t Payload;
        uint32_t Target;
    };
    const Case cases[] = {
        { 0, 4096 }, { 1000, 7096 }, { 5000, 19096 }, { 8634, 29998 }, { 8635, 30001 },
        { 0xFFFFFFFF, 4093 }, // wraps modulo 2^32
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaledImage::ShrinkTarget(c.Payload), c.Target) << "payload " << c.Payload;
}

TEST(ScaledImageTest, TargetSizesMatchTheKnownExamples)
{
    struct Case {
        int32_t Width;
        int32_t Height;
        uint32_t Payload;
        int32_t NewWidth;
        int32_t NewHeight;
    };
    const Case cases[] = {
        { 100, 100, 1000, 87, 87 },
        { 100, 100, 5000, 141, 141 },
        { 100, 100, 8634, 176, 176 },
        { 640, 480, 8, 77, 58 },
        { 640, 480, 20000, 295, 222 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Width << " x " << c.Height << ", payload " << c.Payload);
        const DibImage source = LoadedImage(PatternLayout(c.Width, c.Height, 24));
        ScaledImage scaled;
        scaled.CreateForTarget(source, ScaledImage::ShrinkTarget(c.Payload));
        EXPECT_EQ(scaled.Width(), c.NewWidth);
        EXPECT_EQ(scaled.Height(), c.NewHeight);
        EXPECT_EQ(scaled.Rows().size(), size_t(StrideOf(24, uint32_t(c.NewWidth))) * uint32_t(c.NewHeight));
    }
}

TEST(ScaledImageTest, ShrinkingStopsWhereTheTargetReachesThePixelBytes)
{
    const DibImage container = LoadedImage(PatternLayout(100, 100, 24));
    ASSERT_EQ(container.PixelBytes(), 30000u);
    EXPECT_LT(ScaledImage::ShrinkTarget(8634), container.PixelBytes());
    EXPECT_GE(ScaledImage::ShrinkTarget(8635), container.PixelBytes());
}

struct StretchCase {
    const char* Name;
    int32_t SourceWidth;
    int32_t SourceHeight;
    std::vector<uint32_t> Source;
    int32_t Width;
    int32_t Height;
    std::vector<uint32_t> Expected;
};

// Worked by hand from the rules in ScaledImage.h; channels are blue in the
// low byte, so each case also shows that channels stay apart.
TEST(ScaledImageTest, StretchAveragesWhenReducingAndInterpolatesWhenEnlarging)
{
    const StretchCase cases[] = {
        // Weights 2, 1 and 1, 2 of 3: 90 / 3 = 30; 490 / 3 = 163.3 -> 163.
        { "three columns into two: fractional coverage", 3, 1, { 0x000000, 0x00005A, 0x0000C8 }, 2, 1,
            { 0x00001E, 0x0000A3 } },
        // (1 + 2 + 1) / 2 = 2: a half rounds up; (200 + 255 + 1) / 2 = 228.
        { "pairs of columns: halves round up", 4, 1, { 0x010000, 0x020000, 0x00C800, 0x00FF00 }, 2, 1,
            { 0x020000, 0x00E400 } },
        // (10 + 20 + 30 + 41 + 2) / 4 = 25.75 -> 25 (truncated after adding 2).
        { "a square into one pixel", 2, 2, { 0x0A0A0A, 0x141414, 0x1E1E1E, 0x292929 }, 1, 1, { 0x191919 } },
        // Samples at 0, 0.1, 0.5, 0.9 and 1 (clamped at both ends).
        { "two columns into five: bilinear", 2, 1, { 0x000000, 0x640000 }, 5, 1,
            { 0x000000, 0x0A0000, 0x320000, 0x5A0000, 0x640000 } },
        // One row enlarged to three repeats it; reduced to one it averages.
        { "one row into three", 1, 1, { 0x123456 }, 1, 3, { 0x123456, 0x123456, 0x123456 } },
        { "three rows into one", 1, 3, { 0x000003, 0x000000, 0x000000 }, 1, 1, { 0x000001 } },
    };
    for (const StretchCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const DibImage source = PictureOf(c.SourceWidth, c.SourceHeight, 24, c.Source);
        ScaledImage scaled;
        scaled.CreateScaled(source, c.Width, c.Height);
        ASSERT_EQ(scaled.Width(), c.Width);
        ASSERT_EQ(scaled.Height(), c.Height);
        for (size_t i = 0; i < c.Expected.size(); ++i)
            EXPECT_EQ(ScaledPixel(scaled, i), c.Expected[i]) << "pixel " << i;
    }
}

// A picture of one colour stays that colour at every size, and rows padded
// to four bytes keep zero padding.
TEST(ScaledImageTest, AFlatPictureStaysFlatAtAnySize)
{
    const DibImage source = PictureOf(47, 33, 24, std::vector<uint32_t>(47 * 33, 0xC0FFEE));
    const std::pair<int32_t, int32_t> sizes[] = { { 5, 3 }, { 47, 1 }, { 1, 33 }, { 100, 7 }, { 13, 90 } };
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        ScaledImage scaled;
        scaled.CreateScaled(source, width, height);
        const size_t stride = StrideOf(24, uint32_t(width));
        for (size_t y = 0; y < size_t(height); ++y) {
            for (size_t x = 0; x < size_t(width); ++x)
                ASSERT_EQ(ScaledPixel(scaled, y * size_t(width) + x), 0xC0FFEEu);
            for (size_t pad = size_t(width) * 3; pad < stride; ++pad)
                ASSERT_EQ(scaled.Rows()[y * stride + pad], 0);
        }
    }
}

// Counting rows from the top gives the same picture: stretching a picture
// turned upside down gives the stretched picture turned upside down.
TEST(ScaledImageTest, TheStretchIsSymmetric)
{
    const DibImage source = LoadedImage(PatternLayout(47, 33, 24));
    // GetPixel counts y from 1 at the top; stored rows run from the bottom.
    std::vector<uint32_t> reversed;
    for (int32_t y = 1; y <= 33; ++y)
        for (int32_t x = 0; x < 47; ++x)
            reversed.push_back(source.GetPixel(x, y));
    const DibImage upsideDown = PictureOf(47, 33, 24, reversed);
    for (const auto& [width, height] : { std::pair { 20, 14 }, std::pair { 70, 50 } }) {
        ScaledImage straight;
        straight.CreateScaled(source, width, height);
        ScaledImage turned;
        turned.CreateScaled(upsideDown, width, height);
        for (size_t y = 0; y < size_t(height); ++y)
            for (size_t x = 0; x < size_t(width); ++x)
                ASSERT_EQ(ScaledPixel(straight, y * size_t(width) + x),
                    ScaledPixel(turned, (size_t(height) - 1 - y) * size_t(width) + x));
    }
}

TEST(ScaledImageTest, A32BitSourceLosesItsFourthByte)
{
    const DibImage source = PictureOf(2, 2, 32, { 0xFF112233, 0xFF112233, 0xFF112233, 0xFF112233 });
    ScaledImage scaled;
    scaled.CreateScaled(source, 1, 1);
    ASSERT_EQ(scaled.Rows().size(), 4u);
    EXPECT_EQ(ScaledPixel(scaled, 0), 0x112233u);
    EXPECT_EQ(scaled.Rows()[3], 0);
}

TEST(ScaledImageTest, TheSameSizeCopiesThePicture)
{
    const DibImage source = LoadedImage(PatternLayout(47, 33, 24));
    ScaledImage scaled;
    scaled.CreateScaled(source, 47, 33);
    for (int32_t y = 1; y <= 33; ++y)
        for (int32_t x = 0; x < 47; ++x)
            ASSERT_EQ(ScaledPixel(scaled, size_t(33 - y) * 47 + size_t(x)), source.GetPixel(x, y));
}

TEST(ScaledImageTest, UnusableSourcesAndSizesGiveNoPicture)
{
    BmpLayout indexed = PatternLayout(4, 4, 8);
    indexed.Table = TableOf(256);
    indexed.Rows.assign(16, 0);
    const DibImage colourTable = LoadedImage(indexed);
    const DibImage empty;
    const DibImage good = LoadedImage(PatternLayout(4, 4, 24));
    struct Case {
        const char* Name;
        const DibImage& Source;
        int32_t Width;
        int32_t Height;
    };
    const Case cases[] = {
        { "an empty source", empty, 4, 4 },
        { "a colour-table source", colourTable, 4, 4 },
        { "width 0", good, 0, 4 },
        { "a negative height", good, 4, -1 },
        { "rows too large for a bitmap file", good, 0x7FFFFFFF, 0x7FFFFFFF },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ScaledImage scaled;
        scaled.CreateScaled(good, 3, 3);
        scaled.CreateScaled(c.Source, c.Width, c.Height);
        EXPECT_EQ(scaled.Width(), 0);
        EXPECT_EQ(scaled.Height(), 0);
        EXPECT_TRUE(scaled.Rows().empty());
    }
    ScaledImage fromEmpty;
    fromEmpty.CreateForTarget(empty, 7096);
    EXPECT_TRUE(fromEmpty.Rows().empty());
}

TEST(ScaledImageTest, ReleaseFreesThePicture)
{
    ScaledImage scaled;
    scaled.CreateScaled(LoadedImage(PatternLayout(4, 4, 24)), 3, 3);
    ASSERT_FALSE(scaled.Rows().empty());
    scaled.Release();
    EXPECT_TRUE(scaled.Rows().empty());
    EXPECT_EQ(scaled.Width(), 0);
    TempFolder folder;
    EXPECT_EQ(scaled.Save(folder.File("released.bmp")), 0u);
}

TEST(ScaledImageTest, SavedFileLoadsAsThePicture)
{
    const DibImage source = LoadedImage(PatternLayout(47, 33, 32));
    ScaledImage scaled;
    scaled.CreateScaled(source, 5, 3);
    TempFolder folder;
    const std::string path = folder.File("scaled.bmp");
    ASSERT_EQ(scaled.Save(path), 54u + 16 * 3);
    const std::string file = ReadWholeFile(path);
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
    EXPECT_EQ(Load32Le(bytes + 2), 54u + 16 * 3);
    EXPECT_EQ(Load32Le(bytes + 10), 54u);
    EXPECT_EQ(Load32Le(bytes + 14 + 20), 16u * 3);
    DibImage image;
    std::istringstream stream = StreamOf(file);
    ASSERT_EQ(image.Read(stream), file.size());
    EXPECT_EQ(image.Width(), 5);
    EXPECT_EQ(image.Height(), 3);
    EXPECT_EQ(image.BitCount(), 24);
    EXPECT_EQ(image.Pixels(), scaled.Rows());
}

} // namespace
} // namespace lumaquill
