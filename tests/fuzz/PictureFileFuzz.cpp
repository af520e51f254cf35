// The picture-file layer on untrusted files: the codec is chosen by the
// signature bytes, as for any file the user picks. Whatever loads must be a
// whole 24- or 32-bit picture in the bitmap form; a picture read losslessly
// must also survive being written in its own format (PNG, BMP or lossless
// WebP) and read back: the same header and the same pixels.
//
// One source serves the targets of every codec; each target's seeds
// (seeds/<codec>) steer it into one decoder.

#include "FuzzChecks.h"
#include "ScratchImageFile.h"
#include "image/DibImage.h"
#include "image/PictureFile.h"
#include "image/PictureFormat.h"
#include "image/PictureFormatTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

using namespace lumaquill;

fuzz::ScratchImageFile& Scratch()
{
    static fuzz::ScratchImageFile file;
    return file;
}

void CheckWhole(const DibImage& image)
{
    LUMAQUILL_FUZZ_CHECK(image.Width() > 0 && image.Height() > 0);
    LUMAQUILL_FUZZ_CHECK(image.InfoHeader().size() == 40 + image.PaletteBytes());
    LUMAQUILL_FUZZ_CHECK(uint64_t { image.Stride() } * uint64_t(image.Height()) <= image.PixelBytes());
}

bool IsWritten(PictureFormat format)
{
    return PictureFormatTable::Of(format).Written == PictureFormatTable::Output::Saved;
}

// The fourth byte of a 32-bit picture whose fourth bytes are all 0 (the
// unused byte of 32-bit bitmaps) is written opaque, so that the picture
// does not come out invisible; it never carries hidden data.
bool FourthBytesAllZero(const DibImage& image)
{
    for (int32_t y = 1; y <= image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            if (image.GetPixel(x, y) >> 24 != 0)
                return false;
        }
    }
    return true;
}

// Written in its own format and read back, a lossless picture is the same,
// but for the fourth bytes written opaque.
void CheckRoundTrip(const DibImage& image, const PictureLoad& load)
{
    const std::optional<std::vector<uint8_t>> bytes = PictureFile::Encode(load.Format, image, load.Profile);
    LUMAQUILL_FUZZ_CHECK(bytes.has_value());
    DibImage reread;
    const PictureLoad again = PictureFile::Load(Scratch().Write(bytes->data(), bytes->size()), reread);
    LUMAQUILL_FUZZ_CHECK(again.Ok() && again.Format == load.Format && again.Lossless);
    LUMAQUILL_FUZZ_CHECK(reread.InfoHeader() == image.InfoHeader());
    const uint32_t opaque = image.BitCount() == 32 && FourthBytesAllZero(image) ? 0xFF000000u : 0;
    for (int32_t y = 1; y <= image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x)
            LUMAQUILL_FUZZ_CHECK(reread.GetPixel(x, y) == (image.GetPixel(x, y) | opaque));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DibImage image;
    const PictureLoad load = PictureFile::Load(Scratch().Write(data, size), image);
    LUMAQUILL_FUZZ_CHECK(load.Ok() == image.IsValid());
    if (!load.Ok())
        return 0;
    CheckWhole(image);
    const bool fullColour = image.BitCount() == 24 || image.BitCount() == 32;
    if (load.Lossless && IsWritten(load.Format) && fullColour)
        CheckRoundTrip(image, load);
    return 0;
}
