#include "image/JpegCodec.h"

#include "image/DibBuilder.h"
#include "image/DibImage.h"
#include "image/ExifOrientation.h"
#include "image/JpegErrorTrap.h"
#include "image/PictureLimits.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace lumaquill {

namespace {

// Start of image followed by the first byte of the next marker.
constexpr uint8_t kSignature[] = { 0xFF, 0xD8, 0xFF };
// Start of scan: the marker's second byte.
constexpr uint8_t kStartOfScan = 0xDA;
// Rows decoded at a time into the band of a picture that is turned upright.
constexpr uint32_t kBandRows = 16;

// The scans of a file, counted by walking its markers: every marker
// segment is skipped by its length, and entropy-coded data holds 0xFF only
// as 0xFF 0x00 or a restart marker. The stream is left where it was.
uint32_t CountScans(std::FILE* file)
{
    const long start = std::ftell(file);
    uint32_t scans = 0;
    int byte = std::getc(file);
    while (byte != EOF && scans <= limits::kMaxJpegScans) {
        if (byte != 0xFF) {
            byte = std::getc(file);
            continue;
        }
        int marker = std::getc(file);
        while (marker == 0xFF)
            marker = std::getc(file);
        if (marker == EOF)
            break;
        // Stuffed bytes, restarts, start and end of image have no length.
        if (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD9) || marker == 0x01) {
            byte = std::getc(file);
            continue;
        }
        const int high = std::getc(file);
        const int low = std::getc(file);
        if (low == EOF)
            break;
        const long length = long(high) << 8 | long(low);
        if (length < 2 || std::fseek(file, length - 2, SEEK_CUR) != 0)
            break;
        if (marker == kStartOfScan)
            ++scans;
        byte = std::getc(file);
    }
    std::fseek(file, start, SEEK_SET);
    return scans;
}

void ReadIcc(j_decompress_ptr info, ColourProfile& profile)
{
    JOCTET* data = nullptr;
    unsigned int length = 0;
    if (jpeg_read_icc_profile(info, &data, &length) && data)
        profile.Icc.assign(data, data + length);
    std::free(data);
}

// Rows are decoded straight into the image when the picture is upright;
// otherwise a band of rows at a time is decoded and each pixel placed where
// it shows in the upright picture, so no second picture is made.
void ReadScanlines(j_decompress_ptr info, int orientation, std::vector<uint8_t>& band, DibBuilder& out)
{
    const uint32_t width = info->output_width;
    const uint32_t height = info->output_height;
    if (orientation == 1) {
        while (info->output_scanline < height) {
            JSAMPROW row = out.TopRow(info->output_scanline);
            jpeg_read_scanlines(info, &row, 1);
        }
        return;
    }
    uint8_t* upright = out.Data();
    JSAMPROW rows[kBandRows];
    for (uint32_t r = 0; r < kBandRows; ++r)
        rows[r] = band.data() + size_t(r) * width * 3;
    while (info->output_scanline < height) {
        const uint32_t first = info->output_scanline;
        const uint32_t count = jpeg_read_scanlines(info, rows, kBandRows);
        ExifOrientation::PlaceRows(orientation, rows, first, count, width, height, upright, out.Stride());
    }
}

bool Reserve(std::vector<uint8_t>& band, size_t size)
{
    try {
        band.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

PictureLoad Refusal(const JpegErrorTrap& trap)
{
    std::string detail;
    const LoadProblem problem = trap.Problem(detail);
    return PictureLoad::Failed(problem, detail);
}

// The declared size, read from the frame header, fits the limits; the
// decoder allocates nothing picture-sized before jpeg_start_decompress.
bool DeclaredSizeFits(const jpeg_decompress_struct& info)
{
    return limits::Fits(info.image_width, info.image_height, 24);
}

// Stays in one piece: libjpeg's fatal errors jump back to the setjmp, which
// must be in the frame that makes every libjpeg call of the decode.
PictureLoad Decode(std::FILE* file, DibImage& image)
{
    jpeg_decompress_struct info {};
    JpegErrorTrap trap {};
    if (CountScans(file) > limits::kMaxJpegScans) {
        trap.TooManyScans = true;
        return Refusal(trap);
    }
    std::vector<uint8_t> band;
    DibBuilder out;
    PictureLoad load;
    load.Format = PictureFormat::Jpeg;
    load.Lossless = false;
    trap.Catch(info.err);
    if (setjmp(trap.Jump)) {
        jpeg_destroy_decompress(&info);
        return Refusal(trap);
    }
    jpeg_create_decompress(&info);
    trap.Limit(info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (!DeclaredSizeFits(info)) {
        jpeg_destroy_decompress(&info);
        return PictureLoad::Failed(LoadProblem::TooLarge);
    }
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        return PictureLoad::Failed(LoadProblem::Cmyk);
    }
    const int orientation = JpegErrorTrap::Orientation(info);
    ReadIcc(&info, load.Profile);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    const bool swap = ExifOrientation::SwapsSides(orientation);
    const uint32_t width = swap ? info.output_height : info.output_width;
    const uint32_t height = swap ? info.output_width : info.output_height;
    if (!out.Start(width, height, 24)
        || !Reserve(band, orientation == 1 ? 0 : size_t(info.output_width) * 3 * kBandRows)) {
        jpeg_destroy_decompress(&info);
        return PictureLoad::Failed(LoadProblem::TooLarge);
    }
    ReadScanlines(&info, orientation, band, out);
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
