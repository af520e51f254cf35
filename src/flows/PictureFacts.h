#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lumaquill {

// What a picture offers as a container, and the questions and hints stored
// in it (readable without any key): what lumaquill-cli info reports.
struct PictureFacts {
    // Payload bytes per EmbedMode 0 to 4.
    static constexpr size_t kModes = 5;

    std::string Path;
    int32_t Width = 0;
    int32_t Height = 0;
    // The file's format, and the bit count the picture loads as.
    std::string Format;
    uint16_t BitsPerPixel = 0;
    // Exact pixels: only such a picture can carry hidden data.
    bool Lossless = true;
    // 24 or 32 bits per pixel: only then are capacities and questions read.
    bool Usable = false;
    // Payload bytes per EmbedMode 0 to 4; negative for small images.
    // EmbedMode 4 is used only for generated noise containers.
    std::array<int32_t, kModes> Capacity = {};
    // The largest compressed payload an encode into this picture takes.
    uint32_t LargestPayload = 0;
    // A stealth image's safe and largest sizes (compressed payload and
    // stored name); 0 for a picture too small for one. Not given for a
    // lossy picture, which cannot be a stealth cover.
    uint64_t StealthSafe = 0;
    uint64_t StealthLargest = 0;
    // A JPEG that can carry a stealth JPEG: its quality estimate (0 for any
    // other picture) and chroma subsampling; the stealth sizes are then a
    // stealth JPEG's.
    int JpegQuality = 0;
    std::string JpegSubsampling;
    // Question and hint of each stored question, raw bytes.
    std::vector<std::pair<std::string, std::string>> Questions;
};

} // namespace lumaquill
