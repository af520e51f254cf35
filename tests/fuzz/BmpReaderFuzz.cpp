// The bitmap reader on untrusted files. Whatever it accepts must be a whole
// picture: every pixel readable, and writing it out and reading that back
// gives the same header, colour table, rows and pixels.

#include "FuzzChecks.h"
#include "image/DibImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

using lumaquill::DibImage;

bool ReadFrom(DibImage& image, const std::string& bytes)
{
    std::istringstream file(bytes, std::ios::binary);
    const uint32_t length = image.Read(file);
    LUMAQUILL_FUZZ_CHECK((length != 0) == image.IsValid());
    LUMAQUILL_FUZZ_CHECK(length == 0 || length == bytes.size());
    return length != 0;
}

// Reads every pixel, which must not leave the picture, and checks the
// invariants the rest of the system relies on.
void CheckWhole(const DibImage& image)
{
    LUMAQUILL_FUZZ_CHECK(image.Width() > 0 && image.Height() > 0);
    LUMAQUILL_FUZZ_CHECK(image.InfoHeader().size() == 40 + image.PaletteBytes());
    LUMAQUILL_FUZZ_CHECK(uint64_t { image.Stride() } * uint64_t(image.Height()) <= image.PixelBytes());
    LUMAQUILL_FUZZ_CHECK(image.Palette().size() == image.ColorCount());
    for (int32_t y = 1; y <= image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x)
            image.GetPixel(x, y);
    }
}

bool SamePalette(const DibImage& a, const DibImage& b)
{
    if (a.Palette().size() != b.Palette().size())
        return false;
    for (size_t i = 0; i < a.Palette().size(); ++i) {
        const auto& p = a.Palette()[i];
        const auto& q = b.Palette()[i];
        if (p.Red != q.Red || p.Green != q.Green || p.Blue != q.Blue || p.Flags != q.Flags)
            return false;
    }
    return true;
}

void CheckSameImage(const DibImage& written, const DibImage& reread)
{
    LUMAQUILL_FUZZ_CHECK(reread.InfoHeader() == written.InfoHeader());
    const size_t rows = size_t { written.Stride() } * size_t(written.Height());
    LUMAQUILL_FUZZ_CHECK(reread.PixelBytes() == rows);
    LUMAQUILL_FUZZ_CHECK(std::equal(reread.Pixels().begin(), reread.Pixels().end(), written.Pixels().begin()));
    LUMAQUILL_FUZZ_CHECK(SamePalette(written, reread));
    for (int32_t y = 1; y <= written.Height(); ++y) {
        for (int32_t x = 0; x < written.Width(); ++x)
            LUMAQUILL_FUZZ_CHECK(reread.GetPixel(x, y) == written.GetPixel(x, y));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DibImage image;
    if (!ReadFrom(image, std::string(reinterpret_cast<const char*>(data), size)))
        return 0;
    CheckWhole(image);
    std::ostringstream out(std::ios::binary);
    const uint32_t written = image.Write(out);
    const std::string file = out.str();
    LUMAQUILL_FUZZ_CHECK(written != 0 && written == file.size());
    DibImage reread;
    LUMAQUILL_FUZZ_CHECK(ReadFrom(reread, file));
    CheckSameImage(image, reread);
    return 0;
}
