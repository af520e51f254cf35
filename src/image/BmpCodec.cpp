#include "image/BmpCodec.h"

#include "core/ByteOrder.h"
#include "image/BmpFileHeader.h"
#include "image/BmpFormat.h"
#include "image/BmpReader.h"
#include "image/DibImage.h"

#include <algorithm>
#include <fstream>
#include <utility>

namespace lumaquill {

bool BmpCodec::Sniff(const uint8_t* head, size_t size) const
{
    return size >= 2 && Load16Le(head) == bmp::kSignature;
}

PictureLoad BmpCodec::Load(const PictureInput& input, DibImage& image) const
{
    std::ifstream file(input.Path, std::ios::binary);
    if (!file.is_open())
        return PictureLoad::Failed(LoadProblem::Unreadable);
    BmpReader reader(file);
    if (!reader.Read())
        return PictureLoad::Failed(reader.Problem, reader.Detail);
    image.Adopt(std::move(reader.Header), std::move(reader.Rows));
    return {};
}

// The same bytes as DibImage::Write: the image-size field holds the
// computed size, and bytes behind the last row are not written.
std::optional<std::vector<uint8_t>> BmpCodec::Encode(const DibImage& image, const ColourProfile&) const
{
    const uint32_t imageSize = image.Stride() * uint32_t(image.Height());
    std::vector<uint8_t> header = image.InfoHeader();
    Store32Le(header.data() + bmp::kImageSizeOffset, imageSize);
    const uint32_t pixelOffset = bmp::kFileHeaderBytes + Load32Le(header.data()) + image.PaletteBytes();
    std::vector<uint8_t> out(bmp::kFileHeaderBytes + header.size() + imageSize);
    StoreFileHeader(out.data(), pixelOffset + imageSize, pixelOffset);
    std::copy(header.begin(), header.end(), out.begin() + bmp::kFileHeaderBytes);
    std::copy_n(image.Pixels().begin(), imageSize,
        out.begin() + static_cast<std::ptrdiff_t>(bmp::kFileHeaderBytes + header.size()));
    return out;
}

} // namespace lumaquill
