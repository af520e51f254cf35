#pragma once

#include <cstdint>

namespace lumaquill {

// Fills the 14-byte file header: "BM", the file size, two reserved words of
// 0 and the offset of the first pixel row.
void StoreFileHeader(uint8_t* out, uint32_t fileSize, uint32_t pixelOffset);

} // namespace lumaquill
