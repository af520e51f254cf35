#pragma once

#include "image/PictureCodec.h"

namespace lumaquill {

// BMP files, read by BmpReader; written exactly as DibImage::Write writes
// them (file header, the image's header and colour table, the rows).
class BmpCodec : public PictureCodec {
public:
    bool Sniff(const uint8_t* head, size_t size) const override;
    PictureLoad Load(const PictureInput& input, DibImage& image) const override;
    std::optional<std::vector<uint8_t>> Encode(const DibImage& image, const ColourProfile& profile) const override;
};

} // namespace lumaquill
