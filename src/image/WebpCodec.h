#pragma once

#include "image/PictureCodec.h"

namespace lumaquill {

// WebP files through libwebp. A picture with alpha loads as a 32-bit image,
// one without as 24-bit; only lossless pictures count as exact. Animated
// files are refused. Written lossless in exact mode, so that the colours
// under transparent pixels survive, with the cover's ICC profile.
class WebpCodec : public PictureCodec {
public:
    bool Sniff(const uint8_t* head, size_t size) const override;
    PictureLoad Load(const PictureInput& input, DibImage& image) const override;
    std::optional<std::vector<uint8_t>> Encode(const DibImage& image, const ColourProfile& profile) const override;
};

} // namespace lumaquill
