#pragma once

#include "image/ColourProfile.h"
#include "image/PictureFormat.h"
#include "image/PictureLoad.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

class DibImage;
class PictureCodec;

// The image-file layer: reads any picture file Lumaquill supports into a
// DibImage, choosing the codec by the file's signature bytes, and encodes
// an image into the bytes of an output file. Adding a format is adding its
// row to PictureFormatTable and its codec.
class PictureFile {
public:
    // On failure the image is empty and the result says why.
    static PictureLoad Load(const std::string& path, DibImage& image);
    // The file bytes of a 24- or 32-bit image in a format the save prompt
    // offers (PNG, BMP, WebP); nothing for other formats or when encoding
    // fails.
    static std::optional<std::vector<uint8_t>> Encode(
        PictureFormat format, const DibImage& image, const ColourProfile& profile);
    // Why a picture of this size cannot be written in the format, as a
    // clause; empty when it can. Every reader's limits apply to every
    // format, so nothing is written that cannot be read back, and each
    // format has its own largest side besides.
    static std::string WriteProblem(PictureFormat format, uint32_t width, uint32_t height, uint16_t bitsPerPixel);

private:
    static const PictureCodec* CodecFor(const uint8_t* head, size_t size);
};

} // namespace lumaquill
