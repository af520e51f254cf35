#include "ui/qt/DibDrawing.h"

#include "flows/PictureTypes.h"

#include <QPainter>
#include <algorithm>
#include <vector>

namespace lumaquill {

namespace {

// The pixel layout that a conversion reads: rows bottom-up, each Stride
// bytes, of which only RowsPresent are in the block.
struct RowLayout {
    int Width = 0;
    int Height = 0;
    int Bits = 0;
    int64_t Stride = 0;
    int64_t RowsPresent = 0;
};

int64_t StrideFor(int bits, int width)
{
    return (int64_t(bits) * width + 31) / 32 * 4;
}

bool DrawableSize(int width, int height)
{
    return width > 0 && height > 0 && int64_t(width) * height <= kMaxDrawPixels;
}

QRgb PaletteColour(const std::vector<PaletteEntry>& palette, uint32_t index)
{
    if (index >= palette.size())
        return qRgb(0, 0, 0);
    const PaletteEntry& entry = palette[index];
    return qRgb(entry.Red, entry.Green, entry.Blue);
}

// 5-bit channel to 8 bits, so that 31 is full intensity.
int Expand5(int value)
{
    return (value << 3) | (value >> 2);
}

QRgb PixelAt(const uint8_t* row, int x, int bits, const std::vector<PaletteEntry>& palette)
{
    switch (bits) {
    case 1:
        return PaletteColour(palette, (row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return PaletteColour(palette, x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F);
    case 8:
        return PaletteColour(palette, row[x]);
    case 16: {
        const int word = row[2 * x] | (row[2 * x + 1] << 8);
        return qRgb(Expand5((word >> 10) & 31), Expand5((word >> 5) & 31), Expand5(word & 31));
    }
    case 24:
        return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default:
        return qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

QImage ConvertRows(const uint8_t* pixels, const RowLayout& layout, const std::vector<PaletteEntry>& palette)
{
    QImage picture(layout.Width, layout.Height, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    picture.fill(Qt::black);
    for (int64_t stored = 0; stored < layout.RowsPresent; ++stored) {
        const uint8_t* row = pixels + stored * layout.Stride;
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(static_cast<int>(layout.Height - 1 - stored)));
        for (int x = 0; x < layout.Width; ++x)
            line[x] = PixelAt(row, x, layout.Bits, palette);
    }
    return picture;
}

} // namespace

QImage DibToImage(const DibImage& image)
{
    // Only uncompressed rows (compression 0) are laid out as read here.
    if (!image.IsValid() || image.Compression() != 0 || !bmp::IsKnownBitCount(image.BitCount()))
        return QImage();
    if (!DrawableSize(image.Width(), image.Height()))
        return QImage();
    RowLayout layout;
    layout.Width = image.Width();
    layout.Height = image.Height();
    layout.Bits = image.BitCount();
    layout.Stride = StrideFor(layout.Bits, layout.Width);
    layout.RowsPresent = std::min<int64_t>(layout.Height, image.Pixels().size() / layout.Stride);
    return ConvertRows(image.Pixels().data(), layout, image.Palette());
}

int32_t DrawDib(QPainter& painter, const DibImage& image, const QRect& destination, const QRect& source)
{
    const QImage picture = DibToImage(image);
    if (picture.isNull())
        return 0;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (destination.size() == source.size())
        painter.drawImage(destination.topLeft(), picture, source);
    else
        painter.drawImage(destination, picture, source);
    painter.restore();
    return source.height();
}

int32_t DrawDib(QPainter& painter, const DibImage& image, const QRect& destination)
{
    return DrawDib(painter, image, destination, QRect(0, 0, image.Width(), image.Height()));
}

bool DrawStretched(QPainter& painter, const DibImage& image, const QRect& destination)
{
    if (destination.isEmpty())
        return false;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels = (QSizeF(destination.size()) * ratio).toSize().expandedTo(QSize(1, 1));
    ScaledImage scaled;
    scaled.CreateScaled(image, pixels.width(), pixels.height());
    QImage picture = ScaledToImage(scaled);
    scaled.Release();
    if (picture.isNull())
        return DrawDib(painter, image, destination) > 0;
    picture.setDevicePixelRatio(ratio);
    painter.drawImage(destination.topLeft(), picture);
    return true;
}

QImage ScaledToImage(const ScaledImage& image)
{
    if (!DrawableSize(image.Width(), image.Height()))
        return QImage();
    RowLayout layout;
    layout.Width = image.Width();
    layout.Height = image.Height();
    layout.Bits = 24;
    layout.Stride = StrideFor(24, layout.Width);
    layout.RowsPresent = std::min<int64_t>(layout.Height, image.Rows().size() / layout.Stride);
    if (layout.RowsPresent == 0)
        return QImage();
    return ConvertRows(image.Rows().data(), layout, {});
}

} // namespace lumaquill
