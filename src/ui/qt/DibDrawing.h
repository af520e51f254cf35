#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>

class QPainter;

namespace lumaquill {

class DibImage;
class ScaledImage;

// Pixel pictures of the image model as Qt images and drawings.
//
// DibToImage turns a valid, uncompressed DibImage of 1, 4 or 8 bits (through
// its display palette; indexes the palette does not cover are black), 16
// bits (5-5-5), 24 or 32 bits per pixel into an RGB32 image, top row first.
// Rows missing from a short pixel block are black. Anything else (no
// pixels, a size of 0 or less, compression, other bit counts, a picture
// larger than kMaxDrawPixels) gives a null image.
QImage DibToImage(const DibImage& image);

// Draws the source rectangle of the picture (y = 0 at the top row) into the
// destination rectangle: unscaled when both have the same size, otherwise
// stretched colour-on-colour (nearest pixels, nothing blended). Returns the
// number of rows drawn, 0 when the image cannot be drawn.
int32_t DrawDib(QPainter& painter, const DibImage& image, const QRect& destination, const QRect& source);
// The whole picture.
int32_t DrawDib(QPainter& painter, const DibImage& image, const QRect& destination);

// A ScaledImage's 24-bit rows as an RGB32 image; null when it holds none.
QImage ScaledToImage(const ScaledImage& image);

// Draws the whole picture into the destination rectangle (logical pixels)
// with ScaledImage's stretch, made at the painter's device pixel ratio so
// that it is sharp at any scale. Pictures that ScaledImage does not take
// (fewer than 24 bits per pixel) are drawn with DrawDib. Returns false when
// nothing could be drawn.
bool DrawStretched(QPainter& painter, const DibImage& image, const QRect& destination);

// The largest picture drawn: 64 megapixels (a 256 MiB image).
constexpr int64_t kMaxDrawPixels = int64_t(1) << 26;

} // namespace lumaquill
