#include "image/WebpCodec.h"

#include "core/ByteOrder.h"
#include "image/DibBuilder.h"
#include "image/DibImage.h"
#include "image/DibSamples.h"
#include "image/PictureLimits.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>

namespace lumaquill {

namespace {

// "RIFF", the RIFF size (u32, little-endian), "WEBP".
constexpr size_t kSignatureBytes = 12;
// A chunk: four-letter tag, payload size (u32), payload padded to even size.
constexpr size_t kChunkHeaderBytes = 8;
// VP8X payload: flags (u8), three reserved bytes, canvas width - 1 and
// height - 1 (u24 each).
constexpr size_t kVp8xBytes = 10;
constexpr uint8_t kIccFlag = 0x20;
constexpr uint8_t kAlphaFlag = 0x10;
// A WebP file's RIFF size is 32-bit; larger files cannot be WebP.
constexpr uint64_t kMaxFileBytes = 0xFFFFFFFFu;
// WebPGetFeatures' format value of a lossless picture.
constexpr int kLosslessFormat = 2;
// Encoder effort: the middle setting, close to the best size of the
// highest at a fraction of its time.
constexpr float kLosslessEffort = 50.0f;
constexpr int kLosslessMethod = 4;
// The lossless decoder holds the whole picture as 32-bit pixels besides
// the rows it writes out.
constexpr uint64_t kDecodeBytesPerPixel = 4;

bool ReadWhole(const PictureInput& input, std::vector<uint8_t>& bytes)
{
    if (input.Length > kMaxFileBytes)
        return false;
    try {
        bytes.resize(size_t(input.Length));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return std::fread(bytes.data(), 1, bytes.size(), input.File) == bytes.size();
}

ColourProfile ReadProfile(const std::vector<uint8_t>& bytes)
{
    ColourProfile profile;
    const WebPData data { bytes.data(), bytes.size() };
    WebPDemuxer* demux = WebPDemux(&data);
    if (!demux)
        return profile;
    WebPChunkIterator chunk;
    if (WebPDemuxGetChunk(demux, "ICCP", 1, &chunk)) {
        profile.Icc.assign(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    WebPDemuxDelete(demux);
    return profile;
}

// The declared canvas fits the limits, and the decoder's own copy of it
// fits the decode budget.
PictureLoad CheckDeclaredSize(const WebPBitstreamFeatures& features, bool alpha)
{
    const auto width = uint64_t(std::max(features.width, 0));
    const auto height = uint64_t(std::max(features.height, 0));
    if (!limits::Fits(width, height, alpha ? 32 : 24))
        return PictureLoad::Failed(LoadProblem::TooLarge);
    if (width * height * kDecodeBytesPerPixel > limits::kMaxDecodeMemoryBytes)
        return PictureLoad::Failed(LoadProblem::TooLarge, limits::MemoryText());
    return {};
}

// Decodes the top row alone, into memory of its own: a file whose headers
// or first rows are damaged is refused before the picture's rows are
// allocated. The decoder stops at the first block of rows.
bool FirstRowDecodes(const std::vector<uint8_t>& bytes, const WebPBitstreamFeatures& features)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return false;
    config.options.use_cropping = 1;
    config.options.crop_left = 0;
    config.options.crop_top = 0;
    config.options.crop_width = features.width;
    config.options.crop_height = 1;
    config.output.colorspace = MODE_BGRA;
    const bool decoded = WebPDecode(bytes.data(), bytes.size(), &config) == VP8_STATUS_OK;
    WebPFreeDecBuffer(&config.output);
    return decoded;
}

bool DecodeInto(const std::vector<uint8_t>& bytes, bool alpha, DibBuilder& out)
{
    const size_t size = size_t(out.Stride()) * out.Height();
    const auto stride = static_cast<int>(out.Stride());
    return alpha ? WebPDecodeBGRAInto(bytes.data(), bytes.size(), out.Data(), size, stride) != nullptr
                 : WebPDecodeBGRInto(bytes.data(), bytes.size(), out.Data(), size, stride) != nullptr;
}

bool FillPicture(const DibImage& image, WebPPicture& picture)
{
    picture.use_argb = 1;
    picture.width = image.Width();
    picture.height = image.Height();
    if (!WebPPictureAlloc(&picture))
        return false;
    const bool opaque = !DibSamples::HasAlpha(image);
    std::vector<uint8_t> row(size_t(image.Width()) * 4);
    for (int32_t y = 0; y < image.Height(); ++y) {
        DibSamples::ReadRgba(image, uint32_t(y), row.data(), opaque);
        uint32_t* argb = picture.argb + size_t(y) * size_t(picture.argb_stride);
        for (int32_t x = 0; x < image.Width(); ++x) {
            const uint8_t* p = row.data() + 4 * size_t(x);
            argb[x] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        }
    }
    return true;
}

void AppendChunk(std::vector<uint8_t>& out, const char* tag, const uint8_t* data, size_t size)
{
    uint8_t header[kChunkHeaderBytes];
    std::memcpy(header, tag, 4);
    Store32Le(header + 4, static_cast<uint32_t>(size));
    out.insert(out.end(), header, header + sizeof header);
    out.insert(out.end(), data, data + size);
    if (size % 2 != 0)
        out.push_back(0);
}

// The extended container: a VP8X chunk (flags, three reserved bytes, the
// canvas width - 1 and height - 1 as 24-bit values), the ICC profile when
// there is one, then the lossless image chunk. The alpha flag is set for a
// 32-bit image even when it is opaque: the lossless bitstream then says
// "no alpha", and the flag is what keeps the image 32-bit when it is read
// back, which its hidden data depends on.
std::optional<std::vector<uint8_t>> Assemble(
    const WebPMemoryWriter& written, const DibImage& image, const std::vector<uint8_t>& icc)
{
    if (written.size < kSignatureBytes + kChunkHeaderBytes)
        return std::nullopt;
    const uint8_t* imageChunk = written.mem + kSignatureBytes;
    const size_t imageChunkBytes = written.size - kSignatureBytes;
    uint8_t vp8x[kVp8xBytes] {};
    vp8x[0] = static_cast<uint8_t>((image.BitCount() == 32 ? kAlphaFlag : 0) | (icc.empty() ? 0 : kIccFlag));
    Store24Le(vp8x + 4, uint32_t(image.Width()) - 1);
    Store24Le(vp8x + 7, uint32_t(image.Height()) - 1);
    std::vector<uint8_t> out(kSignatureBytes);
    std::memcpy(out.data(), "RIFF", 4);
    std::memcpy(out.data() + 8, "WEBP", 4);
    AppendChunk(out, "VP8X", vp8x, sizeof vp8x);
    if (!icc.empty())
        AppendChunk(out, "ICCP", icc.data(), icc.size());
    out.insert(out.end(), imageChunk, imageChunk + imageChunkBytes);
    if (out.size() - 8 > kMaxFileBytes)
        return std::nullopt;
    Store32Le(out.data() + 4, static_cast<uint32_t>(out.size() - 8));
    return out;
}

// The extended header's alpha flag, which marks a picture with alpha even
// when the image bitstream itself has none.
bool HasAlphaFlag(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= kSignatureBytes + kChunkHeaderBytes + kVp8xBytes
        && std::memcmp(bytes.data() + kSignatureBytes, "VP8X", 4) == 0
        && (bytes[kSignatureBytes + kChunkHeaderBytes] & kAlphaFlag) != 0;
}

} // namespace

bool WebpCodec::Sniff(const uint8_t* head, size_t size) const
{
    return size >= kSignatureBytes && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0;
}

PictureLoad WebpCodec::Load(const PictureInput& input, DibImage& image) const
{
    std::vector<uint8_t> bytes;
    if (!ReadWhole(input, bytes))
        return PictureLoad::Failed(input.Length > kMaxFileBytes ? LoadProblem::TooLarge : LoadProblem::Unreadable);
    WebPBitstreamFeatures features {};
    const VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &features);
    if (status == VP8_STATUS_NOT_ENOUGH_DATA)
        return PictureLoad::Failed(LoadProblem::Truncated, "WebP");
    if (status != VP8_STATUS_OK)
        return PictureLoad::Failed(LoadProblem::Damaged, "WebP");
    if (features.has_animation)
        return PictureLoad::Failed(LoadProblem::Animated);
    DibBuilder out;
    const bool alpha = features.has_alpha != 0 || HasAlphaFlag(bytes);
    if (PictureLoad declared = CheckDeclaredSize(features, alpha); !declared.Ok())
        return declared;
    if (!out.Start(uint32_t(features.width), uint32_t(features.height), alpha ? 32 : 24))
        return PictureLoad::Failed(LoadProblem::TooLarge);
    if (!FirstRowDecodes(bytes, features))
        return PictureLoad::Failed(LoadProblem::Damaged, "WebP");
    if (!DecodeInto(bytes, alpha, out))
        return PictureLoad::Failed(LoadProblem::Damaged, "WebP");
    PictureLoad load;
    load.Format = PictureFormat::WebP;
    load.Lossless = features.format == kLosslessFormat;
    load.Profile = ReadProfile(bytes);
    out.Finish(image);
    return load;
}

std::optional<std::vector<uint8_t>> WebpCodec::Encode(const DibImage& image, const ColourProfile& profile) const
{
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture))
        return std::nullopt;
    config.lossless = 1;
    config.exact = 1;
    config.quality = kLosslessEffort;
    config.method = kLosslessMethod;
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    std::optional<std::vector<uint8_t>> out;
    if (FillPicture(image, picture)) {
        picture.writer = WebPMemoryWrite;
        picture.custom_ptr = &writer;
        if (WebPEncode(&config, &picture))
            out = Assemble(writer, image, profile.Icc);
    }
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&writer);
    return out;
}

} // namespace lumaquill
