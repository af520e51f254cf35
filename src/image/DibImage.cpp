#include "image/DibImage.h"

#include "core/ByteOrder.h"
#include "image/BmpFileHeader.h"
#include "image/BmpFormat.h"
#include "image/BmpReader.h"
#include "image/CDibException.h"

#include <cassert>
#include <ostream>
#include <utility>

namespace lumaquill {

namespace {

template <typename T> void ReleaseBlock(std::vector<T>& block)
{
    std::vector<T>().swap(block);
}

uint32_t Rgb555(uint16_t word)
{
    constexpr uint32_t kFiveBits = 0x1F;
    return (word & kFiveBits) | ((word >> 5) & kFiveBits) << 8 | ((word >> 10) & kFiveBits) << 16;
}

uint16_t Word555(uint32_t colour)
{
    constexpr uint32_t kFiveBits = 0x1F;
    const uint32_t blue = colour & kFiveBits;
    const uint32_t green = (colour >> 8) & kFiveBits;
    const uint32_t red = (colour >> 16) & kFiveBits;
    return static_cast<uint16_t>(red << 10 | green << 5 | blue);
}

} // namespace

DibImage::~DibImage()
{
    Clear();
}

void DibImage::Clear()
{
    ReleaseBlock(Header);
    ReleaseBlock(Rows);
    ReleaseBlock(DisplayPalette);
    HasRows = false;
    CacheHeaderFields();
}

void DibImage::CacheHeaderFields()
{
    if (Header.empty()) {
        PixelWidth = PixelHeight = 0;
        Bits = TableEntries = 0;
        RowStride = 0;
        return;
    }
    const uint8_t* info = Header.data();
    PixelWidth = static_cast<int32_t>(Load32Le(info + bmp::kWidthOffset));
    PixelHeight = static_cast<int32_t>(Load32Le(info + bmp::kHeightOffset));
    Bits = Load16Le(info + bmp::kBitCountOffset);
    TableEntries = bmp::ColorCount(Bits, Load32Le(info + bmp::kColorsUsedOffset));
    RowStride = bmp::Stride(Bits, static_cast<uint32_t>(PixelWidth));
}

int32_t DibImage::Width() const
{
    return PixelWidth;
}

int32_t DibImage::Height() const
{
    return PixelHeight;
}

uint16_t DibImage::BitCount() const
{
    return Bits;
}

uint32_t DibImage::Compression() const
{
    return Header.empty() ? 0 : Load32Le(Header.data() + bmp::kCompressionOffset);
}

bool DibImage::IsValid() const
{
    return HasRows;
}

uint16_t DibImage::ColorCount() const
{
    return TableEntries;
}

uint32_t DibImage::PaletteBytes() const
{
    return uint32_t(TableEntries) * bmp::kColorEntryBytes;
}

uint32_t DibImage::Stride() const
{
    return RowStride;
}

// Unsigned comparisons test both bounds at once: x in 0 .. width - 1 and
// y in 1 .. height. An empty image has width and height 0, so every
// coordinate is out of range.
size_t DibImage::RowOffset(int32_t x, int32_t y) const
{
    if (uint32_t(x) >= uint32_t(PixelWidth) || uint32_t(y) - 1u >= uint32_t(PixelHeight))
        throw CDibException(CDibException::kOutOfRange);
    return size_t(uint32_t(PixelHeight - y)) * RowStride;
}

uint32_t DibImage::TableColour(uint32_t entry) const
{
    if (entry >= TableEntries)
        return 0;
    return Load32Le(Header.data() + bmp::kInfoHeaderBytes + entry * bmp::kColorEntryBytes);
}

uint32_t DibImage::GetPixel(int32_t x, int32_t y) const
{
    const uint8_t* row = Rows.data() + RowOffset(x, y);
    const auto column = size_t(uint32_t(x));
    switch (Bits) {
    case 1:
        return TableColour((row[column / 8] >> (7 - column % 8)) & 1);
    case 4:
        return TableColour(column % 2 == 0 ? row[column / 2] >> 4 : row[column / 2] & 0x0F);
    case 8:
        return TableColour(row[column]);
    case 16:
        return Rgb555(Load16Le(row + 2 * column));
    case 24: {
        const uint8_t* pixel = row + 3 * column;
        return uint32_t(pixel[0]) | uint32_t(pixel[1]) << 8 | uint32_t(pixel[2]) << 16;
    }
    case 32:
        return Load32Le(row + 4 * column);
    default:
        return 0;
    }
}

void DibImage::SetPixel(int32_t x, int32_t y, uint32_t colour)
{
    uint8_t* row = Rows.data() + RowOffset(x, y);
    const auto column = size_t(uint32_t(x));
    switch (Bits) {
    case 1:
    case 4:
    case 8:
        throw CDibException(CDibException::kWriteToIndexed);
    case 16:
        Store16Le(row + 2 * column, Word555(colour));
        break;
    case 24: {
        uint8_t* pixel = row + 3 * column;
        pixel[0] = static_cast<uint8_t>(colour);
        pixel[1] = static_cast<uint8_t>(colour >> 8);
        pixel[2] = static_cast<uint8_t>(colour >> 16);
        break;
    }
    case 32:
        Store32Le(row + 4 * column, colour);
        break;
    default:
        break;
    }
}

uint32_t DibImage::Read(std::istream& file)
{
    Clear();
    BmpReader reader(file);
    if (!reader.Read())
        return 0;
    Adopt(std::move(reader.Header), std::move(reader.Rows));
    return reader.Length;
}

void DibImage::Adopt(std::vector<uint8_t> header, std::vector<uint8_t> rows)
{
    Header = std::move(header);
    Rows = std::move(rows);
    HasRows = true;
    CacheHeaderFields();
    assert(Rows.size() >= size_t(RowStride) * uint32_t(PixelHeight));
    BuildPalette();
}

// Loaded images are never run-length encoded, so the image size is always
// the computed one. Reading guaranteed that stride x height fits in the file
// the image came from, and that file was at least as long as this one.
uint32_t DibImage::Write(std::ostream& file)
{
    if (Header.empty())
        return 0;
    const uint32_t imageSize = RowStride * uint32_t(PixelHeight);
    assert(Rows.size() >= imageSize);
    Store32Le(Header.data() + bmp::kImageSizeOffset, imageSize);
    const uint32_t pixelOffset = bmp::kFileHeaderBytes + Load32Le(Header.data()) + PaletteBytes();
    uint8_t fileHeader[bmp::kFileHeaderBytes];
    StoreFileHeader(fileHeader, pixelOffset + imageSize, pixelOffset);
    file.write(reinterpret_cast<const char*>(fileHeader), sizeof fileHeader);
    file.write(reinterpret_cast<const char*>(Header.data()), static_cast<std::streamsize>(Header.size()));
    file.write(reinterpret_cast<const char*>(Rows.data()), static_cast<std::streamsize>(imageSize));
    if (!file)
        return 0;
    return bmp::kFileHeaderBytes + static_cast<uint32_t>(Header.size()) + imageSize;
}

bool DibImage::BuildPalette()
{
    if (!IsValid())
        return false;
    ReleaseBlock(DisplayPalette);
    DisplayPalette.reserve(TableEntries);
    for (uint32_t entry = 0; entry < TableEntries; ++entry) {
        const uint8_t* colour = Header.data() + bmp::kInfoHeaderBytes + entry * bmp::kColorEntryBytes;
        DisplayPalette.push_back(PaletteEntry { colour[2], colour[1], colour[0], 0 });
    }
    return true;
}

} // namespace lumaquill
