#include "image/JpegCodec.h"

#include "image/DibBuilder.h"
#include "image/DibImage.h"
#include "image/ExifOrientation.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace lumaquill {

namespace {

// Start of image followed by the first byte of the next marker.
constexpr uint8_t kSignature[] = { 0xFF, 0xD8, 0xFF };
// APP1 holds the EXIF block, APP2 the ICC profile.
constexpr int kExifMarker = JPEG_APP0 + 1;
constexpr int kIccMarker = JPEG_APP0 + 2;
constexpr unsigned int kMaxMarkerBytes = 0xFFFF;
constexpr uint8_t kExifHeader[] = { 'E', 'x', 'i', 'f', 0, 0 };
constexpr uint32_t kMaxSide = 1u << 16;

// libjpeg reports a fatal error by calling error_exit, which must not
// return: it jumps back to the decode, which then refuses the file.
struct ErrorTrap {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    bool CutShort;
};

[[noreturn]] void OnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->Jump, 1);
}

// Warnings are not shown; one of them says the data ended early, which
// libjpeg makes good with grey and the loader refuses.
void OnMessage(j_common_ptr info, int level)
{
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        trap->CutShort = true;
}

int OrientationOf(j_decompress_ptr info)
{
    for (jpeg_saved_marker_ptr marker = info->marker_list; marker; marker = marker->next) {
        if (marker->marker == kExifMarker && marker->data_length > sizeof kExifHeader
            && std::memcmp(marker->data, kExifHeader, sizeof kExifHeader) == 0)
            return ExifOrientation::FromExif(marker->data, marker->data_length);
    }
    return 1;
}

void ReadIcc(j_decompress_ptr info, ColourProfile& profile)
{
    JOCTET* data = nullptr;
    unsigned int length = 0;
    if (jpeg_read_icc_profile(info, &data, &length) && data)
        profile.Icc.assign(data, data + length);
    std::free(data);
}

// Rows are decoded straight into the image when the picture is upright,
// else into a packed picture (allocated by the caller) that is then turned
// upright.
void ReadScanlines(j_decompress_ptr info, int orientation, std::vector<uint8_t>& packed, DibBuilder& out)
{
    const uint32_t width = info->output_width;
    while (info->output_scanline < info->output_height) {
        const uint32_t y = info->output_scanline;
        JSAMPROW row = orientation == 1 ? out.TopRow(y) : packed.data() + size_t(y) * width * 3;
        jpeg_read_scanlines(info, &row, 1);
    }
    if (orientation != 1)
        ExifOrientation::Apply(
            orientation, packed, width, info->output_height, [&out](uint32_t y) { return out.TopRow(y); });
}

bool Reserve(std::vector<uint8_t>& packed, size_t size)
{
    try {
        packed.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Stays in one piece: libjpeg's fatal errors jump back to the setjmp, which
// must be in the frame that makes every libjpeg call of the decode.
PictureLoad Decode(std::FILE* file, DibImage& image)
{
    jpeg_decompress_struct info {};
    ErrorTrap trap {};
    std::vector<uint8_t> packed;
    DibBuilder out;
    PictureLoad load;
    load.Format = PictureFormat::Jpeg;
    load.Lossless = false;
    info.err = jpeg_std_error(&trap.Manager);
    trap.Manager.error_exit = OnError;
    trap.Manager.emit_message = OnMessage;
    if (setjmp(trap.Jump)) {
        jpeg_destroy_decompress(&info);
        return PictureLoad::Failed(trap.CutShort ? LoadProblem::Truncated : LoadProblem::Damaged, "JPEG");
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_save_markers(&info, kExifMarker, kMaxMarkerBytes);
    jpeg_save_markers(&info, kIccMarker, kMaxMarkerBytes);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        return PictureLoad::Failed(LoadProblem::Cmyk);
    }
    const int orientation = OrientationOf(&info);
    ReadIcc(&info, load.Profile);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    const bool swap = ExifOrientation::SwapsSides(orientation);
    const uint32_t width = swap ? info.output_height : info.output_width;
    const uint32_t height = swap ? info.output_width : info.output_height;
    if (width > kMaxSide || height > kMaxSide || !out.Start(width, height, 24)
        || !Reserve(packed, orientation == 1 ? 0 : size_t(width) * height * 3)) {
        jpeg_destroy_decompress(&info);
        return PictureLoad::Failed(LoadProblem::TooLarge);
    }
    ReadScanlines(&info, orientation, packed, out);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (trap.CutShort)
        return PictureLoad::Failed(LoadProblem::Truncated, "JPEG");
    out.Finish(image);
    return load;
}

} // namespace

bool JpegCodec::Sniff(const uint8_t* head, size_t size) const
{
    return size >= sizeof kSignature && std::memcmp(head, kSignature, sizeof kSignature) == 0;
}

PictureLoad JpegCodec::Load(const PictureInput& input, DibImage& image) const
{
    return Decode(input.File, image);
}

} // namespace lumaquill
