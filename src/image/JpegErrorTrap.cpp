#include "image/JpegErrorTrap.h"

#include "image/ExifOrientation.h"
#include "image/PictureLimits.h"

#include <cstring>
#include <jerror.h>

namespace lumaquill {

namespace {

constexpr unsigned int kMaxMarkerBytes = 0xFFFF;
constexpr uint8_t kExifHeader[] = { 'E', 'x', 'i', 'f', 0, 0 };

JpegErrorTrap* TrapOf(j_common_ptr info)
{
    return reinterpret_cast<JpegErrorTrap*>(info->err);
}

// libjpeg's own memory limit (max_memory_to_use) shows as a request for
// the temporary files this build has not got.
[[noreturn]] void OnError(j_common_ptr info)
{
    JpegErrorTrap* trap = TrapOf(info);
    const int code = info->err->msg_code;
    if (code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY)
        trap->TooLarge = true;
    std::longjmp(trap->Jump, 1);
}

// Warnings are not shown; data that ends early stops the read at once.
void OnMessage(j_common_ptr info, int level)
{
    JpegErrorTrap* trap = TrapOf(info);
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        trap->CutShort = true;
        std::longjmp(trap->Jump, 1);
    }
}

// Each scan costs a pass over the whole picture: a file of many scans is
// refused while libjpeg reads them.
void OnProgress(j_common_ptr info)
{
    if (info->is_decompressor == 0)
        return;
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > int(limits::kMaxJpegScans)) {
        JpegErrorTrap* trap = TrapOf(info);
        trap->TooManyScans = true;
        std::longjmp(trap->Jump, 1);
    }
}

} // namespace

void JpegErrorTrap::Catch(jpeg_error_mgr*& err)
{
    err = jpeg_std_error(&Manager);
    Manager.error_exit = OnError;
    Manager.emit_message = OnMessage;
    Progress.progress_monitor = OnProgress;
}

void JpegErrorTrap::Limit(jpeg_decompress_struct& info)
{
    info.progress = &Progress;
    info.mem->max_memory_to_use = static_cast<long>(limits::kMaxDecodeMemoryBytes);
    jpeg_save_markers(&info, kExifMarker, kMaxMarkerBytes);
    jpeg_save_markers(&info, kIccMarker, kMaxMarkerBytes);
}

LoadProblem JpegErrorTrap::Problem(std::string& detail) const
{
    if (TooLarge) {
        detail = limits::MemoryText();
        return LoadProblem::TooLarge;
    }
    if (TooManyScans) {
        detail = "a JPEG file of more than " + std::to_string(limits::kMaxJpegScans) + " scans";
        return LoadProblem::Unsupported;
    }
    detail = "JPEG";
    return CutShort ? LoadProblem::Truncated : LoadProblem::Damaged;
}

int JpegErrorTrap::Orientation(const jpeg_decompress_struct& info)
{
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker == kExifMarker && marker->data_length > sizeof kExifHeader
            && std::memcmp(marker->data, kExifHeader, sizeof kExifHeader) == 0)
            return ExifOrientation::FromExif(marker->data, marker->data_length);
    }
    return 1;
}

} // namespace lumaquill
