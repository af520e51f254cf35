#pragma once

#include "image/PictureCodec.h"

namespace lumaquill {

// JPEG files through libjpeg-turbo, decoded once to 24-bit pixels with
// their EXIF orientation applied, so that the picture is upright. Their
// pixels are not exact, so they serve as covers only; they are not written.
// CMYK and YCCK pictures are refused.
class JpegCodec : public PictureCodec {
public:
    bool Sniff(const uint8_t* head, size_t size) const override;
    PictureLoad Load(const PictureInput& input, DibImage& image) const override;
    std::optional<std::vector<uint8_t>> Encode(const DibImage&, const ColourProfile&) const override
    {
        return std::nullopt;
    }
};

} // namespace lumaquill
