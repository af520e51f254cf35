#include "image/HeifCodec.h"

#include "image/DibBuilder.h"
#include "image/DibImage.h"
#include "image/PictureLimits.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <libheif/heif.h>
#include <memory>
#include <string_view>

namespace lumaquill {

namespace {

// An ISO media file starts with its "ftyp" box: size (u32), "ftyp", the
// major brand (4 bytes).
constexpr size_t kBrandOffset = 8;
constexpr size_t kBrandEnd = 12;
constexpr std::array<std::string_view, 10> kHeicBrands
    = { "heic", "heix", "hevc", "hevx", "heim", "heis", "hevm", "hevs", "mif1", "msf1" };
constexpr std::array<std::string_view, 2> kAvifBrands = { "avif", "avis" };
// Decoding takes the coded planes (up to three bytes a pixel) and the
// interleaved picture libheif converts them to (up to four).
constexpr uint64_t kDecodeBytesPerPixel = 7;

struct ContextFree {
    void operator()(heif_context* ctx) const { heif_context_free(ctx); }
};
struct HandleFree {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFree {
    void operator()(heif_image* image) const { heif_image_release(image); }
};

std::string_view Brand(const uint8_t* head)
{
    return { reinterpret_cast<const char*>(head + kBrandOffset), kBrandEnd - kBrandOffset };
}

template <size_t N> bool IsOneOf(std::string_view brand, const std::array<std::string_view, N>& brands)
{
    return std::find(brands.begin(), brands.end(), brand) != brands.end();
}

void ReadProfile(heif_image_handle* handle, ColourProfile& profile)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return;
    profile.Icc.resize(heif_image_handle_get_raw_color_profile_size(handle));
    if (heif_image_handle_get_raw_color_profile(handle, profile.Icc.data()).code != heif_error_Ok)
        profile.Icc.clear();
}

bool CopyRows(heif_image* decoded, bool alpha, DibBuilder& out)
{
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    if (!plane || stride <= 0)
        return false;
    for (uint32_t y = 0; y < out.Height(); ++y) {
        const uint8_t* row = plane + size_t(y) * size_t(stride);
        if (alpha)
            DibBuilder::StoreRgba(out.TopRow(y), row, out.Width(), 32);
        else
            DibBuilder::StoreRgb(out.TopRow(y), row, out.Width(), 24);
    }
    return true;
}

// The size the file declares for the primary image (for a grid, the
// whole picture its tiles make) fits the limits, and libheif's working
// memory for it fits the decode budget.
PictureLoad CheckDeclaredSize(heif_image_handle* handle)
{
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    if (width <= 0 || height <= 0 || !limits::Fits(uint64_t(width), uint64_t(height), alpha ? 32 : 24))
        return PictureLoad::Failed(LoadProblem::TooLarge);
    if (uint64_t(width) * uint64_t(height) * kDecodeBytesPerPixel > limits::kMaxDecodeMemoryBytes)
        return PictureLoad::Failed(LoadProblem::TooLarge, limits::MemoryText());
    return {};
}

// The primary image decoded into the loaded form; a decoder that cannot
// handle the picture (an unavailable codec, an unusual chroma) names why.
PictureLoad DecodePrimary(heif_image_handle* handle, const char* name, DibImage& image)
{
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    heif_image* rawImage = nullptr;
    const heif_error error = heif_decode_image(handle, &rawImage, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr);
    if (error.code != heif_error_Ok)
        return PictureLoad::Failed(LoadProblem::Unsupported, error.message ? error.message : name);
    std::unique_ptr<heif_image, ImageFree> decoded(rawImage);
    const int width = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    // The coded stream can claim another size than the file declares; such a
    // file is damaged, and copying a picture it never declared could take
    // any amount of time and memory.
    if (width != heif_image_handle_get_width(handle) || height != heif_image_handle_get_height(handle))
        return PictureLoad::Failed(LoadProblem::Damaged, name);
    DibBuilder out;
    if (!out.Start(uint32_t(width), uint32_t(height), alpha ? 32 : 24))
        return PictureLoad::Failed(LoadProblem::TooLarge);
    if (!CopyRows(decoded.get(), alpha, out))
        return PictureLoad::Failed(LoadProblem::Damaged, name);
    out.Finish(image);
    return {};
}

bool IsAvif(std::FILE* file)
{
    uint8_t head[kBrandEnd] {};
    std::rewind(file);
    return std::fread(head, 1, sizeof head, file) == sizeof head && IsOneOf(Brand(head), kAvifBrands);
}

} // namespace

bool HeifCodec::Sniff(const uint8_t* head, size_t size) const
{
    if (size < kBrandEnd || std::memcmp(head + 4, "ftyp", 4) != 0)
        return false;
    return IsOneOf(Brand(head), kHeicBrands) || IsOneOf(Brand(head), kAvifBrands);
}

PictureLoad HeifCodec::Load(const PictureInput& input, DibImage& image) const
{
    const bool avif = IsAvif(input.File);
    const char* name = avif ? "AVIF" : "HEIC";
    std::unique_ptr<heif_context, ContextFree> ctx(heif_context_alloc());
    if (!ctx)
        return PictureLoad::Failed(LoadProblem::Damaged, name);
    // libheif's own limit refuses larger images, tiles among them, while it
    // reads the file's boxes.
    heif_context_set_maximum_image_size_limit(ctx.get(), int(limits::kMaxSide));
    const heif_error read = heif_context_read_from_file(ctx.get(), input.Path.c_str(), nullptr);
    if (read.code != heif_error_Ok)
        return PictureLoad::Failed(
            read.subcode == heif_suberror_Security_limit_exceeded ? LoadProblem::TooLarge : LoadProblem::Damaged, name);
    if (heif_context_get_number_of_top_level_images(ctx.get()) > 1)
        return PictureLoad::Failed(LoadProblem::Animated);
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(ctx.get(), &rawHandle).code != heif_error_Ok)
        return PictureLoad::Failed(LoadProblem::Damaged, name);
    std::unique_ptr<heif_image_handle, HandleFree> handle(rawHandle);
    if (PictureLoad declared = CheckDeclaredSize(handle.get()); !declared.Ok())
        return declared;
    PictureLoad load = DecodePrimary(handle.get(), name, image);
    if (!load.Ok())
        return load;
    load.Format = avif ? PictureFormat::Avif : PictureFormat::Heic;
    load.Lossless = false;
    ReadProfile(handle.get(), load.Profile);
    return load;
}

} // namespace lumaquill
