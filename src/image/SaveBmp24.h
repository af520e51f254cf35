#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace lumaquill {

// Writes a 24-bit bitmap file without colour table: file header with pixel
// offset 54 and file size 54 + image size, a 40-byte information header
// (planes 1, compression 0, image size = stride x height, every other field
// beyond the dimensions 0), then the stride x height bytes of the bottom-up
// rows. Returns 54 + image size, or 0 when there is no picture or the file
// could not be created or completely written.
uint32_t SaveBmp24(const std::string& path, int32_t width, int32_t height, const std::vector<uint8_t>& rows);
// The same bytes onto a stream; 0 when there is no picture or the stream
// failed.
uint32_t WriteBmp24(std::ostream& file, int32_t width, int32_t height, const std::vector<uint8_t>& rows);

} // namespace lumaquill
