#include "image/PngCodec.h"

#include "image/DibBuilder.h"
#include "image/DibImage.h"
#include "image/DibSamples.h"
#include "image/PictureLimits.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <spng.h>

namespace lumaquill {

namespace {

// The eight signature bytes of every PNG file.
constexpr std::array<uint8_t, 8> kSignature = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
// IHDR colour types.
constexpr uint8_t kGreyAlpha = 4;
constexpr uint8_t kTrueColourAlpha = 6;
constexpr uint8_t kIndexed = 3;
constexpr uint8_t kGrey = 0;
// Ancillary chunks (text, EXIF, colour profiles) may not pass this size.
constexpr size_t kMaxChunkBytes = size_t(64) << 20;
// Deflate gives at most 258 bytes for two bits of its stream, so no image
// data can hold more than this many bytes of rows for each of its own.
constexpr uint64_t kMaxInflateRatio = 1032;
// The written stream: adaptive row filters (all five tried per row) and
// zlib's run-length strategy. On the 12-megapixel photo of
// bench/png_speed.sh it gives the same size as the filtered or default
// strategies at levels 4 to 9 (photo noise leaves long matches nothing to
// find) in about 60% of their time; on flat, screenshot-like pictures it
// is 2 to 3% larger. The run-length strategy ignores the level.
constexpr int kCompressionLevel = 6;
constexpr int kFilterChoice = SPNG_FILTER_CHOICE_ALL;
constexpr int kStrategy = 3; // Z_RLE
constexpr const char* kIccName = "ICC profile";

struct ContextFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Context = std::unique_ptr<spng_ctx, ContextFree>;

// IEND has no data, so its CRC is always these four bytes.
constexpr std::array<uint8_t, 4> kEndType = { 'I', 'E', 'N', 'D' };
constexpr std::array<uint8_t, 4> kEndCrc = { 0xAE, 0x42, 0x60, 0x82 };

// The file as the decoder reads it, remembering the last four bytes read:
// the decoder stops at IEND's type without reading its CRC, which the
// loader then checks itself, so that a file cut inside it is refused.
struct FileStream {
    std::FILE* File;
    std::array<uint8_t, 4> Last {};
};

int ReadFromFile(spng_ctx*, void* user, void* data, size_t length)
{
    auto* stream = static_cast<FileStream*>(user);
    auto* bytes = static_cast<uint8_t*>(data);
    const size_t got = std::fread(bytes, 1, length, stream->File);
    if (got != length)
        return std::ferror(stream->File) ? SPNG_IO_ERROR : SPNG_IO_EOF;
    const size_t keep = std::min(length, stream->Last.size());
    std::copy(stream->Last.begin() + std::ptrdiff_t(keep), stream->Last.end(), stream->Last.begin());
    std::copy(bytes + length - keep, bytes + length, stream->Last.end() - std::ptrdiff_t(keep));
    return 0;
}

// After the last chunk: the end chunk's CRC follows when the decoder has
// not read it.
PictureLoad CheckEndCrc(FileStream& stream)
{
    if (stream.Last != kEndType)
        return {};
    std::array<uint8_t, 4> crc {};
    if (std::fread(crc.data(), 1, crc.size(), stream.File) != crc.size())
        return PictureLoad::Failed(LoadProblem::Truncated, "PNG");
    if (crc != kEndCrc)
        return PictureLoad::Failed(LoadProblem::BadChecksum, "PNG");
    return {};
}

PictureLoad Refusal(int error)
{
    switch (error) {
    case SPNG_ECHUNK_CRC:
        return PictureLoad::Failed(LoadProblem::BadChecksum, "PNG");
    case SPNG_EOF:
    case SPNG_IO_EOF:
        return PictureLoad::Failed(LoadProblem::Truncated, "PNG");
    case SPNG_EUSER_WIDTH:
    case SPNG_EUSER_HEIGHT:
    case SPNG_EOVERFLOW:
    case SPNG_EMEM:
        return PictureLoad::Failed(LoadProblem::TooLarge);
    case SPNG_IO_ERROR:
        return PictureLoad::Failed(LoadProblem::Unreadable);
    default:
        return PictureLoad::Failed(LoadProblem::Damaged, "PNG");
    }
}

// Samples per pixel of each IHDR colour type; 0 for an unknown type.
uint64_t ChannelsOf(uint8_t colourType)
{
    switch (colourType) {
    case kGrey:
    case kIndexed:
        return 1;
    case kGreyAlpha:
        return 2;
    case kTrueColourAlpha:
        return 4;
    default:
        return 3;
    }
}

// The file is long enough for its image data to inflate to the pixels it
// declares, so that a few bytes declaring a huge picture are refused
// before any row is decoded.
bool CanHoldPixels(const spng_ihdr& header, uint64_t fileLength)
{
    const uint64_t bits = uint64_t(header.width) * header.height * ChannelsOf(header.color_type) * header.bit_depth;
    return bits / 8 <= fileLength * kMaxInflateRatio;
}

bool DeclaresAlpha(spng_ctx* ctx, const spng_ihdr& header)
{
    if (header.color_type == kGreyAlpha || header.color_type == kTrueColourAlpha)
        return true;
    spng_trns trns {};
    return (header.color_type == kIndexed || header.color_type == kGrey) && spng_get_trns(ctx, &trns) == 0;
}

// An animation control chunk before the image data makes an animated PNG.
bool IsAnimated(spng_ctx* ctx)
{
    uint32_t count = 0;
    if (spng_get_unknown_chunks(ctx, nullptr, &count) != 0 || count == 0)
        return false;
    std::vector<spng_unknown_chunk> chunks(count);
    if (spng_get_unknown_chunks(ctx, chunks.data(), &count) != 0)
        return false;
    return std::any_of(chunks.begin(), chunks.end(),
        [](const spng_unknown_chunk& chunk) { return std::memcmp(chunk.type, "acTL", 4) == 0; });
}

ColourProfile ReadProfile(spng_ctx* ctx)
{
    ColourProfile profile;
    spng_iccp iccp {};
    if (spng_get_iccp(ctx, &iccp) == 0 && iccp.profile)
        profile.Icc.assign(iccp.profile, iccp.profile + iccp.profile_len);
    uint8_t intent = 0;
    if (spng_get_srgb(ctx, &intent) == 0)
        profile.SrgbIntent = intent;
    uint32_t gamma = 0;
    if (spng_get_gama_int(ctx, &gamma) == 0)
        profile.Gamma = gamma;
    spng_chrm_int chrm {};
    if (spng_get_chrm_int(ctx, &chrm) == 0)
        profile.Chromaticity = std::array<uint32_t, 8> { chrm.white_point_x, chrm.white_point_y, chrm.red_x, chrm.red_y,
            chrm.green_x, chrm.green_y, chrm.blue_x, chrm.blue_y };
    return profile;
}

// Rows are decoded straight into the image, as R G B [A]; the passes of an
// interlaced picture each fill their pixels of the rows in place. Red and
// blue are swapped once the picture is complete.
int DecodeRows(spng_ctx* ctx, const spng_ihdr& header, bool alpha, DibBuilder& out)
{
    const int format = alpha ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8;
    const size_t rowBytes = size_t(header.width) * (alpha ? 4 : 3);
    int error = spng_decode_image(ctx, nullptr, 0, format, (alpha ? SPNG_DECODE_TRNS : 0) | SPNG_DECODE_PROGRESSIVE);
    spng_row_info row {};
    while (error == 0 && (error = spng_get_row_info(ctx, &row)) == 0) {
        if (row.row_num >= header.height)
            return SPNG_EOVERFLOW;
        error = spng_decode_row(ctx, out.TopRow(row.row_num), rowBytes);
    }
    if (error != SPNG_EOI)
        return error;
    out.SwapRedAndBlue();
    return 0;
}

int WriteToVector(spng_ctx*, void* user, void* data, size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(user);
    const auto* bytes = static_cast<const uint8_t*>(data);
    // No exception may pass through the library.
    try {
        out->insert(out->end(), bytes, bytes + length);
    } catch (const std::bad_alloc&) {
        return SPNG_IO_ERROR;
    }
    return 0;
}

void WriteProfile(spng_ctx* ctx, const ColourProfile& profile)
{
    if (!profile.Icc.empty()) {
        spng_iccp iccp {};
        std::strncpy(iccp.profile_name, kIccName, sizeof iccp.profile_name - 1);
        iccp.profile_len = profile.Icc.size();
        iccp.profile = reinterpret_cast<char*>(const_cast<uint8_t*>(profile.Icc.data()));
        spng_set_iccp(ctx, &iccp);
    } else if (profile.SrgbIntent) {
        spng_set_srgb(ctx, *profile.SrgbIntent);
    }
    if (profile.Gamma)
        spng_set_gama_int(ctx, *profile.Gamma);
    if (profile.Chromaticity) {
        const auto& c = *profile.Chromaticity;
        spng_chrm_int chrm { c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7] };
        spng_set_chrm_int(ctx, &chrm);
    }
}

} // namespace

bool PngCodec::Sniff(const uint8_t* head, size_t size) const
{
    return size >= kSignature.size() && std::equal(kSignature.begin(), kSignature.end(), head);
}

PictureLoad PngCodec::Load(const PictureInput& input, DibImage& image) const
{
    Context ctx(spng_ctx_new(0));
    if (!ctx)
        return PictureLoad::Failed(LoadProblem::TooLarge);
    spng_set_image_limits(ctx.get(), limits::kMaxSide, limits::kMaxSide);
    spng_set_chunk_limits(ctx.get(), kMaxChunkBytes, kMaxChunkBytes);
    spng_set_option(ctx.get(), SPNG_KEEP_UNKNOWN_CHUNKS, 1);
    FileStream stream { input.File };
    spng_set_png_stream(ctx.get(), ReadFromFile, &stream);
    spng_ihdr header {};
    // Every chunk before the image data is read and checked first.
    if (int error = spng_get_ihdr(ctx.get(), &header))
        return Refusal(error);
    if (int error = spng_decode_chunks(ctx.get()))
        return Refusal(error);
    if (IsAnimated(ctx.get()))
        return PictureLoad::Failed(LoadProblem::Animated);
    const bool alpha = DeclaresAlpha(ctx.get(), header);
    DibBuilder out;
    if (!out.Start(header.width, header.height, alpha ? 32 : 24))
        return PictureLoad::Failed(LoadProblem::TooLarge);
    if (!CanHoldPixels(header, input.Length))
        return PictureLoad::Failed(LoadProblem::Truncated, "PNG");
    PictureLoad load;
    load.Format = PictureFormat::Png;
    load.Profile = ReadProfile(ctx.get());
    if (int error = DecodeRows(ctx.get(), header, alpha, out))
        return Refusal(error);
    // The chunks behind the rows, up to IEND: the last image data chunk's
    // checksum is only read here, and a file without IEND is cut short.
    if (int error = spng_decode_chunks(ctx.get()))
        return Refusal(error);
    if (PictureLoad end = CheckEndCrc(stream); !end.Ok())
        return end;
    out.Finish(image);
    return load;
}

std::optional<std::vector<uint8_t>> PngCodec::Encode(const DibImage& image, const ColourProfile& profile) const
{
    Context ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx)
        return std::nullopt;
    std::vector<uint8_t> out;
    spng_set_png_stream(ctx.get(), WriteToVector, &out);
    // A 32-bit image stays 32-bit so that it reads back with the same bit
    // count, which its hidden data depends on.
    const bool alpha = image.BitCount() == 32;
    const bool opaque = alpha && !DibSamples::HasAlpha(image);
    spng_ihdr header {};
    header.width = uint32_t(image.Width());
    header.height = uint32_t(image.Height());
    header.bit_depth = 8;
    header.color_type = alpha ? kTrueColourAlpha : 2;
    spng_set_ihdr(ctx.get(), &header);
    WriteProfile(ctx.get(), profile);
    spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, kCompressionLevel);
    spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, kFilterChoice);
    spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_STRATEGY, kStrategy);
    int error = spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    std::vector<uint8_t> row(size_t(header.width) * (alpha ? 4 : 3));
    for (uint32_t y = 0; error == 0 && y < header.height; ++y) {
        if (alpha)
            DibSamples::ReadRgba(image, y, row.data(), opaque);
        else
            DibSamples::ReadRgb(image, y, row.data());
        error = spng_encode_row(ctx.get(), row.data(), row.size());
        if (error == SPNG_EOI && y + 1 == header.height)
            error = 0;
    }
    if (error != 0)
        return std::nullopt;
    return out;
}

} // namespace lumaquill
