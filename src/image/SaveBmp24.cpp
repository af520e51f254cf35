#include "image/SaveBmp24.h"

#include "core/ByteOrder.h"
#include "image/BmpFileHeader.h"
#include "image/BmpFormat.h"
#include "image/PictureLimits.h"

#include <array>
#include <fstream>
#include <limits>

namespace lumaquill {

namespace {

constexpr uint16_t kPlanes = 1;
constexpr uint16_t kBitsPerPixel = 24;

using Headers = std::array<uint8_t, bmp::kPlainPixelOffset>;

Headers MakeHeaders(int32_t width, int32_t height, uint32_t imageSize)
{
    Headers out {};
    StoreFileHeader(out.data(), bmp::kPlainPixelOffset + imageSize, bmp::kPlainPixelOffset);
    uint8_t* info = out.data() + bmp::kFileHeaderBytes;
    Store32Le(info + bmp::kInfoSizeOffset, bmp::kInfoHeaderBytes);
    Store32Le(info + bmp::kWidthOffset, static_cast<uint32_t>(width));
    Store32Le(info + bmp::kHeightOffset, static_cast<uint32_t>(height));
    Store16Le(info + bmp::kPlanesOffset, kPlanes);
    Store16Le(info + bmp::kBitCountOffset, kBitsPerPixel);
    Store32Le(info + bmp::kCompressionOffset, bmp::kRgb);
    Store32Le(info + bmp::kImageSizeOffset, imageSize);
    return out;
}

} // namespace

uint32_t WriteBmp24(std::ostream& file, int32_t width, int32_t height, const std::vector<uint8_t>& rows)
{
    // The limits keep the file size field within 32 bits too.
    if (width <= 0 || height <= 0 || !limits::Fits(uint64_t(width), uint64_t(height), kBitsPerPixel))
        return 0;
    const uint64_t imageSize = bmp::Stride64(kBitsPerPixel, uint64_t(width)) * uint64_t(height);
    if (rows.size() < imageSize)
        return 0;
    const Headers headers = MakeHeaders(width, height, static_cast<uint32_t>(imageSize));
    file.write(reinterpret_cast<const char*>(headers.data()), headers.size());
    file.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(imageSize));
    if (file.fail())
        return 0;
    return bmp::kPlainPixelOffset + static_cast<uint32_t>(imageSize);
}

uint32_t SaveBmp24(const std::string& path, int32_t width, int32_t height, const std::vector<uint8_t>& rows)
{
    if (width <= 0 || height <= 0)
        return 0;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.is_open())
        return 0;
    const uint32_t written = WriteBmp24(file, width, height, rows);
    file.close();
    return file.fail() ? 0 : written;
}

} // namespace lumaquill
