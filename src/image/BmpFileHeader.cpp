#include "image/BmpFileHeader.h"

#include "core/ByteOrder.h"
#include "image/BmpFormat.h"

namespace lumaquill {

void StoreFileHeader(uint8_t* out, uint32_t fileSize, uint32_t pixelOffset)
{
    Store16Le(out, bmp::kSignature);
    Store32Le(out + bmp::kFileSizeOffset, fileSize);
    Store32Le(out + bmp::kReservedOffset, 0);
    Store32Le(out + bmp::kPixelOffsetOffset, pixelOffset);
}

} // namespace lumaquill
