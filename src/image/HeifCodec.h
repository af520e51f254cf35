#pragma once

#include "image/PictureCodec.h"

namespace lumaquill {

// HEIC and AVIF files through libheif: the primary image, decoded once to
// 24-bit pixels, or 32-bit with alpha, with its rotation and mirroring
// applied. Their pixels are not exact, so they serve as covers only; they
// are not written. Files with more than one top-level image are refused.
class HeifCodec : public PictureCodec {
public:
    bool Sniff(const uint8_t* head, size_t size) const override;
    PictureLoad Load(const PictureInput& input, DibImage& image) const override;
    std::optional<std::vector<uint8_t>> Encode(const DibImage&, const ColourProfile&) const override
    {
        return std::nullopt;
    }
};

} // namespace lumaquill
