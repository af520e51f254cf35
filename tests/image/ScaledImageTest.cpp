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

TEST(ScaledImageTest, AReductionAndsTheEliminatedPixelsIntoTheKeptOnes)
{
    // 3 x 2 into 2 x 1: the first column stands alone, the other two merge.
    const DibImage source = PictureOf(3, 2, 24, { 0xF0F0F1, 0x0FFF0F, 0xFF00FF, 0xF0F0F3, 0xFFFFF0, 0x3F0FFF });
    ScaledImage scaled;
    scaled.CreateScaled(source, 2, 1);
    ASSERT_EQ(scaled.Width(), 2);
    ASSERT_EQ(scaled.Rows().size(), 8u);
    EXPECT_EQ(ScaledPixel(scaled, 0), 0xF0F0F1u & 0xF0F0F3u);
    EXPECT_EQ(ScaledPixel(scaled, 1), 0x0FFF0Fu & 0xFF00FFu & 0xFFFFF0u & 0x3F0FFFu);
    EXPECT_EQ(scaled.Rows()[6], 0) << "padding";
    EXPECT_EQ(scaled.Rows()[7], 0) << "padding";
}

TEST(ScaledImageTest, AnEnlargementRepeatsPixels)
{
    const DibImage source = PictureOf(2, 1, 24, { 0x112233, 0x445566 });
    ScaledImage scaled;
    scaled.CreateScaled(source, 5, 3);
    ASSERT_EQ(scaled.Height(), 3);
    ASSERT_EQ(scaled.Rows().size(), 16u * 3);
    const uint32_t expected[] = { 0x112233, 0x112233, 0x112233, 0x445566, 0x445566 };
    for (size_t row = 0; row < 3; ++row)
        for (size_t x = 0; x < 5; ++x)
            EXPECT_EQ(ScaledPixel(scaled, row * 5 + x), expected[x]) << "row " << row << ", x " << x;
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
