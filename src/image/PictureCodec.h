#pragma once

#include "image/ColourProfile.h"
#include "image/PictureLoad.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

class DibImage;

// An opened picture file: its path, the stream at offset 0, and its length.
struct PictureInput {
    const std::string& Path;
    std::FILE* File;
    uint64_t Length;
};

// Reads and writes the files of a picture format; PictureFormatTable says
// which format (or formats) each codec serves. A codec is chosen by the
// file's first bytes, never by its name. Loading gives the picture in
// exactly the form the equivalent BMP file gives: a 40-byte information
// header (planes 1, compression 0, image size stride x height, every other
// field beyond the dimensions and bit count 0) and bottom-up rows of B G R,
// or B G R A when the format declares an alpha channel.
class PictureCodec {
public:
    virtual ~PictureCodec() = default;

    // The file starts with this format's signature; head holds the first
    // kSniffBytes bytes of the file, or all of a shorter file.
    virtual bool Sniff(const uint8_t* head, size_t size) const = 0;
    // On failure the image is left empty.
    virtual PictureLoad Load(const PictureInput& input, DibImage& image) const = 0;
    // The file bytes of a 24- or 32-bit image; nothing when the format is
    // not written or the encoder fails.
    virtual std::optional<std::vector<uint8_t>> Encode(const DibImage& image, const ColourProfile& profile) const = 0;

    // Enough for every signature, the ISO media "ftyp" brand included.
    static constexpr size_t kSniffBytes = 16;
};

} // namespace lumaquill
