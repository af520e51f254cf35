#include "image/DibBuilder.h"

#include "core/ByteOrder.h"
#include "image/BmpFormat.h"
#include "image/DibImage.h"
#include "image/PictureLimits.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <new>
#include <utility>

namespace lumaquill {

namespace {

constexpr uint16_t kPlanes = 1;

} // namespace

bool DibBuilder::Start(uint32_t width, uint32_t height, uint16_t bitsPerPixel)
{
    if (!limits::Fits(width, height, bitsPerPixel))
        return false;
    PictureWidth = width;
    PictureHeight = height;
    Bits = bitsPerPixel;
    RowStride = bmp::Stride(bitsPerPixel, width);
    Header.assign(bmp::kInfoHeaderBytes, 0);
    uint8_t* info = Header.data();
    Store32Le(info + bmp::kInfoSizeOffset, bmp::kInfoHeaderBytes);
    Store32Le(info + bmp::kWidthOffset, width);
    Store32Le(info + bmp::kHeightOffset, height);
    Store16Le(info + bmp::kPlanesOffset, kPlanes);
    Store16Le(info + bmp::kBitCountOffset, bitsPerPixel);
    Store32Le(info + bmp::kCompressionOffset, bmp::kRgb);
    Store32Le(info + bmp::kImageSizeOffset, RowStride * height);
    // Reserving takes address space only: no page is touched until a row
    // is asked for, and the rows never move.
    try {
        Rows.clear();
        Rows.reserve(size_t(RowStride) * height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

uint8_t* DibBuilder::TopRow(uint32_t fromTop)
{
    assert(fromTop < PictureHeight);
    const size_t end = size_t(fromTop + 1) * RowStride;
    if (Rows.size() < end)
        Rows.resize(end);
    return Rows.data() + size_t(fromTop) * RowStride;
}

uint8_t* DibBuilder::Data()
{
    return TopRow(PictureHeight - 1) - size_t(PictureHeight - 1) * RowStride;
}

void DibBuilder::SwapRedAndBlue()
{
    const uint32_t step = Bits / 8;
    const size_t rows = Rows.size() / RowStride;
    for (size_t y = 0; y < rows; ++y) {
        uint8_t* pixel = Rows.data() + y * RowStride;
        for (uint32_t x = 0; x < PictureWidth; ++x, pixel += step)
            std::swap(pixel[0], pixel[2]);
    }
}

void DibBuilder::Finish(DibImage& image)
{
    Data();
    for (uint32_t low = 0, high = PictureHeight - 1; low < high; ++low, --high)
        std::swap_ranges(Rows.data() + size_t(low) * RowStride, Rows.data() + size_t(low + 1) * RowStride,
            Rows.data() + size_t(high) * RowStride);
    image.Adopt(std::move(Header), std::move(Rows));
}

void DibBuilder::StoreRgb(uint8_t* row, const uint8_t* rgb, uint32_t width, uint16_t bitsPerPixel)
{
    const uint32_t step = bitsPerPixel / 8;
    for (uint32_t x = 0; x < width; ++x, rgb += 3, row += step) {
        row[0] = rgb[2];
        row[1] = rgb[1];
        row[2] = rgb[0];
        if (step == 4)
            row[3] = 0xFF;
    }
}

void DibBuilder::StoreRgba(uint8_t* row, const uint8_t* rgba, uint32_t width, uint16_t bitsPerPixel)
{
    const uint32_t step = bitsPerPixel / 8;
    for (uint32_t x = 0; x < width; ++x, rgba += 4, row += step) {
        row[0] = rgba[2];
        row[1] = rgba[1];
        row[2] = rgba[0];
        if (step == 4)
            row[3] = rgba[3];
    }
}

} // namespace lumaquill
