#include "image/ExifOrientation.h"

#include <iterator>
#include <libexif/exif-data.h>

namespace lumaquill {

namespace {

// "Exif\0\0"; a big-endian TIFF header whose first IFD starts at offset 8;
// that IFD: one entry, tag 0x0112 (orientation), type 3 (SHORT), count 1,
// the value in the first two bytes of the value field; no next IFD.
constexpr uint8_t kMinimalExif[] = { 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0,
    0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0 };
static_assert(sizeof kMinimalExif == 32);
// The low byte of the orientation value.
constexpr size_t kMinimalExifValue = 25;

} // namespace

std::vector<uint8_t> ExifOrientation::MinimalExif(int orientation)
{
    if (orientation < 2 || orientation > 8)
        return {};
    std::vector<uint8_t> block(std::begin(kMinimalExif), std::end(kMinimalExif));
    block[kMinimalExifValue] = static_cast<uint8_t>(orientation);
    return block;
}

int ExifOrientation::FromExif(const uint8_t* data, size_t size)
{
    ExifData* exif = exif_data_new_from_data(data, static_cast<unsigned int>(size));
    if (!exif)
        return 1;
    int orientation = 1;
    if (ExifEntry* entry = exif_data_get_entry(exif, EXIF_TAG_ORIENTATION);
        entry && entry->format == EXIF_FORMAT_SHORT && entry->components == 1 && entry->size >= 2)
        orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif));
    exif_data_unref(exif);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

// Orientation 2 mirrors, 3 turns by 180 degrees, 4 flips, 5 transposes,
// 6 is turned by 90 degrees clockwise to be upright, 7 transverses, 8 is
// turned by 90 degrees counter-clockwise.
void ExifOrientation::UprightOf(
    int orientation, uint32_t width, uint32_t height, uint32_t sx, uint32_t sy, uint32_t& x, uint32_t& y)
{
    switch (orientation) {
    case 2:
        x = width - 1 - sx, y = sy;
        break;
    case 3:
        x = width - 1 - sx, y = height - 1 - sy;
        break;
    case 4:
        x = sx, y = height - 1 - sy;
        break;
    case 5:
        x = sy, y = sx;
        break;
    case 6:
        x = height - 1 - sy, y = sx;
        break;
    case 7:
        x = height - 1 - sy, y = width - 1 - sx;
        break;
    case 8:
        x = sy, y = width - 1 - sx;
        break;
    default:
        x = sx, y = sy;
        break;
    }
}

void ExifOrientation::PlaceRows(int orientation, const uint8_t* const* rows, uint32_t firstRow, uint32_t count,
    uint32_t width, uint32_t height, uint8_t* upright, size_t stride)
{
    for (uint32_t sx = 0; sx < width; ++sx) {
        for (uint32_t r = 0; r < count; ++r) {
            uint32_t x = 0;
            uint32_t y = 0;
            UprightOf(orientation, width, height, sx, firstRow + r, x, y);
            const uint8_t* source = rows[r] + size_t(sx) * 3;
            uint8_t* pixel = upright + size_t(y) * stride + size_t(x) * 3;
            pixel[0] = source[0];
            pixel[1] = source[1];
            pixel[2] = source[2];
        }
    }
}

} // namespace lumaquill
