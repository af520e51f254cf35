#pragma once

#include "image/PictureCodec.h"

namespace lumaquill {

// PNG files through libspng. Every colour type, bit depth and interlacing
// loads; the form follows the declared format alone: colour types 4 and 6,
// and palette or grey pictures with a tRNS chunk, become 32-bit images with
// the alpha as fourth byte, everything else 24-bit. Grey expands to equal
// R, G and B, palettes to their colours, 16-bit samples keep their high
// byte. Written as 8-bit RGB, or RGBA for a 32-bit image with alpha.
class PngCodec : public PictureCodec {
public:
    bool Sniff(const uint8_t* head, size_t size) const override;
    PictureLoad Load(const PictureInput& input, DibImage& image) const override;
    std::optional<std::vector<uint8_t>> Encode(const DibImage& image, const ColourProfile& profile) const override;
};

} // namespace lumaquill
