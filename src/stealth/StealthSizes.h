#pragma once

#include <cstdint>

namespace lumaquill::stealth {

// What a picture of a given size takes, in bytes of envelope content (the
// zlib stream plus the stored name), every overhead already deducted.
struct StealthSizes {
    // Envelope content bytes (zlib stream + stored name) at 0.05 bits per pixel: detectors stay near chance.
    uint64_t Safe = 0;
    // The same at 0.4 bits per pixel: the most a stealth image takes.
    uint64_t Largest = 0;
};

// 0/0 when the picture is too small for the format at all.
StealthSizes SizesFor(int32_t width, int32_t height);

struct ElementPlan;
// The sizes of any element plan (a JPEG's counts its rates per non-zero AC
// coefficient).
StealthSizes SizesFor(const ElementPlan& plan);

} // namespace lumaquill::stealth
