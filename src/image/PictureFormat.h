#pragma once

#include <optional>
#include <string>

namespace lumaquill {

// The picture file formats Lumaquill reads; PictureFormatTable says what
// else is known of each: its names, extensions, exactness and whether and
// how it is written.
enum class PictureFormat { Bmp, Png, Jpeg, WebP, Heic, Avif };

// "PNG", "BMP", "JPEG", "WebP", "HEIC", "AVIF": the name messages and info use.
const char* PictureFormatName(PictureFormat format);

// The format offered for saving that a file name's extension asks for
// (.png, .bmp, .webp, in any case); nothing for any other extension.
std::optional<PictureFormat> OutputFormatForName(const std::string& name);

// The extension names a lossy format (.jpg, .jpeg, .jpe, .heic, .heif,
// .avif), which would destroy hidden data.
bool IsLossyExtension(const std::string& name);

// The extension names a JPEG to be written (.jpg or .jpeg, in any case):
// only a stealth JPEG of a JPEG cover.
bool IsJpegOutputName(const std::string& name);

// The extension names a format that is read, in any case.
bool IsPictureName(const std::string& name);

// The format written when the user names none: PNG.
PictureFormat DefaultOutputFormat();

} // namespace lumaquill
