#pragma once

#include "image/BmpFormat.h"

#include <cstdint>
#include <string>

namespace lumaquill::limits {

// The sizes every picture reader and writer, and the sizing of noise and
// rescaled containers, share, so that nothing is written that cannot be
// read back. Each is checked from a file's declared header before anything
// is allocated or decoded.
//
// A few bytes of a picture file can declare a picture of any size: a
// fuzzing build lowers the row and memory limits so that the fuzzers spend
// their time in the decoders' logic rather than filling and copying huge
// pictures under the sanitizers; the normal build tests the real limits.

// The longest side, in pixels, of a picture that is read or written.
inline constexpr uint32_t kMaxSide = 1u << 16;
#ifndef LUMAQUILL_FUZZING
// The most bytes a picture's stored rows (stride x height) may take; every
// size in the engine is 32-bit signed arithmetic.
inline constexpr uint64_t kMaxRowBytes = uint64_t(1) << 30;
// The most working memory a decoding library may take besides the rows.
inline constexpr uint64_t kMaxDecodeMemoryBytes = uint64_t(1) << 30;
#else
inline constexpr uint64_t kMaxRowBytes = uint64_t(1) << 26;
inline constexpr uint64_t kMaxDecodeMemoryBytes = uint64_t(1) << 28;
#endif
// The most pixels a picture may have: a loaded picture takes at least three
// bytes a pixel, so no more fit in kMaxRowBytes.
inline constexpr uint64_t kMaxPixels = kMaxRowBytes / 3;
// The most scans a JPEG file may have; a progressive file has about ten,
// and each scan costs a pass over the whole picture.
inline constexpr uint32_t kMaxJpegScans = 500;
// The longest side a WebP file can declare: its sizes are 14-bit fields.
// PictureFormatTable gives each format its longest side.
inline constexpr uint32_t kMaxWebpSide = 16383;

// A bitmap file's size field holds the headers and the rows of every
// picture within the limits.
static_assert(kMaxRowBytes <= 0xFFFFFFFFu - bmp::kPlainPixelOffset);

// A picture of this size and depth stays within every limit above.
constexpr bool Fits(uint64_t width, uint64_t height, uint64_t bitsPerPixel)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels
        && bmp::Stride64(bitsPerPixel, width) * height <= kMaxRowBytes;
}

// The limits, as the end of a sentence that refuses a picture: "at most
// 65536 pixels a side, 357913941 pixels and 1024 MiB of rows".
std::string Text();
// Why a picture within those limits is refused when decoding it would take
// more working memory than kMaxDecodeMemoryBytes, as a clause.
std::string MemoryText();

} // namespace lumaquill::limits
