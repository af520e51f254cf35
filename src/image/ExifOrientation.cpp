#include "image/ExifOrientation.h"

#include <libexif/exif-data.h>

namespace lumaquill {

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
void ExifOrientation::SourceOf(
    int orientation, uint32_t width, uint32_t height, uint32_t x, uint32_t y, uint32_t& sx, uint32_t& sy)
{
    switch (orientation) {
    case 2:
        sx = width - 1 - x, sy = y;
        break;
    case 3:
        sx = width - 1 - x, sy = height - 1 - y;
        break;
    case 4:
        sx = x, sy = height - 1 - y;
        break;
    case 5:
        sx = y, sy = x;
        break;
    case 6:
        sx = y, sy = height - 1 - x;
        break;
    case 7:
        sx = width - 1 - y, sy = height - 1 - x;
        break;
    case 8:
        sx = width - 1 - y, sy = x;
        break;
    default:
        sx = x, sy = y;
        break;
    }
}

} // namespace lumaquill
