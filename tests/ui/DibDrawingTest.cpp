#include "ui/qt/DibDrawing.h"

#include "image/BmpFixture.h"
#include "image/DibImage.h"
#include "image/ScaledImage.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <set>

namespace lumaquill {
namespace {

using bmptest::BmpLayout;

DibImage Load(const BmpLayout& layout)
{
    DibImage image;
    std::istringstream stream = bmptest::StreamOf(bmptest::BuildBmp(layout));
    image.Read(stream);
    return image;
}

// A 3 x 2 24-bit picture: stride 12, so each row has 3 padding bytes.
// Top row: red, green, blue; bottom row: white, black, grey.
BmpLayout ThreeByTwo24()
{
    BmpLayout layout;
    layout.Width = 3;
    layout.Height = 2;
    layout.BitCount = 24;
    layout.Rows = {
        0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80, 0xA5, 0xA5, 0xA5, // bottom row, stored first
        0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xA5, 0xA5, 0xA5, // top row
    };
    return layout;
}

std::vector<QRgb> PixelsOf(const QImage& image)
{
    std::vector<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y) | 0xFF000000u);
    }
    return pixels;
}

struct FormatCase {
    const char* Name;
    BmpLayout Layout;
    std::vector<QRgb> Expected; // top row first
};

BmpLayout Layout(int32_t width, int32_t height, uint16_t bits, std::vector<uint8_t> rows,
    std::vector<uint8_t> table = {}, uint32_t colorsUsed = 0)
{
    BmpLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.BitCount = bits;
    layout.Rows = std::move(rows);
    layout.Table = std::move(table);
    layout.ColorsUsed = colorsUsed;
    return layout;
}

// Table entry i of TableOf is blue i, green 2i, red 3i.
QRgb Entry(int i)
{
    return qRgb(3 * i, 2 * i, i);
}

std::vector<FormatCase> FormatCases()
{
    return {
        { "TwentyFourBits", ThreeByTwo24(),
            { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255), qRgb(0, 0, 0),
                qRgb(128, 128, 128) } },
        { "ThirtyTwoBitsIgnoreTheFourthByte", Layout(2, 1, 32, { 0x10, 0x20, 0x30, 0x99, 0x01, 0x02, 0x03, 0x00 }),
            { qRgb(0x30, 0x20, 0x10), qRgb(3, 2, 1) } },
        // 5-5-5 words: 0x7C00 full red, 0x03E0 full green, little-endian.
        { "SixteenBitsFiveFiveFive", Layout(2, 1, 16, { 0x00, 0x7C, 0xE0, 0x03 }),
            { qRgb(255, 0, 0), qRgb(0, 255, 0) } },
        { "EightBitsThroughThePalette", Layout(2, 2, 8, { 1, 2, 0, 0, 3, 0, 0, 0 }, bmptest::TableOf(4), 4),
            { Entry(3), Entry(0), Entry(1), Entry(2) } },
        { "IndexBeyondThePaletteIsBlack", Layout(2, 1, 8, { 1, 9, 0, 0 }, bmptest::TableOf(4), 4),
            { Entry(1), qRgb(0, 0, 0) } },
        { "FourBitsHighNibbleFirst", Layout(3, 1, 4, { 0x21, 0x30, 0, 0 }, bmptest::TableOf(16)),
            { Entry(2), Entry(1), Entry(3) } },
        { "OneBitMostSignificantFirst", Layout(3, 1, 1, { 0xA0, 0, 0, 0 }, bmptest::TableOf(2)),
            { Entry(1), Entry(0), Entry(1) } },
    };
}

TEST(DibDrawingTest, ConvertsEachPixelFormatTopRowFirst)
{
    for (const FormatCase& c : FormatCases()) {
        SCOPED_TRACE(c.Name);
        const DibImage image = Load(c.Layout);
        ASSERT_TRUE(image.IsValid());
        const QImage picture = DibToImage(image);
        ASSERT_EQ(picture.size(), QSize(c.Layout.Width, c.Layout.Height));
        EXPECT_EQ(PixelsOf(picture), c.Expected);
    }
}

TEST(DibDrawingTest, DrawsUnscaledAtTheDestinationCorner)
{
    const DibImage image = Load(ThreeByTwo24());
    QImage canvas(10, 10, QImage::Format_RGB32);
    canvas.fill(Qt::cyan);
    QPainter painter(&canvas);
    EXPECT_EQ(DrawDib(painter, image, QRect(2, 3, 3, 2)), 2);
    painter.end();
    EXPECT_EQ(canvas.pixel(2, 3) | 0xFF000000u, qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(4, 4) | 0xFF000000u, qRgb(128, 128, 128));
    EXPECT_EQ(canvas.pixel(5, 3) | 0xFF000000u, QColor(Qt::cyan).rgb());
    EXPECT_EQ(canvas.pixel(1, 3) | 0xFF000000u, QColor(Qt::cyan).rgb());
}

TEST(DibDrawingTest, StretchesWithNearestPixelsAndNothingBlended)
{
    const DibImage image = Load(ThreeByTwo24());
    QImage canvas(9, 6, QImage::Format_RGB32);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    EXPECT_EQ(DrawDib(painter, image, QRect(0, 0, 9, 6)), 2);
    painter.end();
    const std::vector<QRgb> source = PixelsOf(DibToImage(image));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(canvas.pixel(x, y) | 0xFF000000u, source[size_t((y / 3) * 3 + x / 3)]) << x << "," << y;
    }
}

TEST(DibDrawingTest, DrawsNothingForAnImageItCannotShow)
{
    QImage canvas(4, 4, QImage::Format_RGB32);
    canvas.fill(Qt::cyan);
    QPainter painter(&canvas);
    EXPECT_EQ(DrawDib(painter, DibImage(), QRect(0, 0, 4, 4)), 0);
    BmpLayout compressed = ThreeByTwo24();
    compressed.Compression = 1;
    EXPECT_EQ(DrawDib(painter, Load(compressed), QRect(0, 0, 4, 4)), 0);
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0) | 0xFF000000u, QColor(Qt::cyan).rgb());
}

TEST(DibDrawingTest, ScaledRowsBecomeTheSamePicture)
{
    const DibImage image = Load(ThreeByTwo24());
    ScaledImage scaled;
    scaled.CreateScaled(image, 3, 2);
    EXPECT_EQ(PixelsOf(ScaledToImage(scaled)), PixelsOf(DibToImage(image)));
    EXPECT_TRUE(ScaledToImage(ScaledImage()).isNull());
}

} // namespace
} // namespace lumaquill
