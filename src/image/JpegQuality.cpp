#include "image/JpegQuality.h"

#include <algorithm>
#include <cstdlib>

namespace lumaquill {

namespace {

// The luminance table of the JPEG standard (ITU-T T.81, Annex K), natural
// order.
constexpr std::array<uint16_t, JpegCoefficients::kBlockCoefficients> kStandardLuminance
    = { 16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29,
          51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64, 78, 87, 103, 121,
          120, 101, 72, 92, 95, 98, 112, 100, 103, 99 };

constexpr int kBestQuality = 100;

} // namespace

std::array<uint16_t, JpegCoefficients::kBlockCoefficients> JpegQuality::LuminanceTable(int quality)
{
    const long scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<uint16_t, JpegCoefficients::kBlockCoefficients> table {};
    for (size_t k = 0; k < table.size(); ++k)
        table[k] = static_cast<uint16_t>(std::clamp((long(kStandardLuminance[k]) * scale + 50) / 100, 1L, 255L));
    return table;
}

int JpegQuality::Estimate(const std::array<uint16_t, JpegCoefficients::kBlockCoefficients>& luminance)
{
    int best = kBestQuality;
    long bestDistance = -1;
    for (int quality = 1; quality <= kBestQuality; ++quality) {
        const std::array<uint16_t, JpegCoefficients::kBlockCoefficients> table = LuminanceTable(quality);
        long distance = 0;
        for (size_t k = 0; k < table.size(); ++k)
            distance += std::labs(long(table[k]) - long(luminance[k]));
        // Ties go to the higher quality, the one that kept more.
        if (bestDistance < 0 || distance <= bestDistance) {
            best = quality;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace lumaquill
