#pragma once

#include <optional>
#include <string>

namespace lumaquill {

// The picture file formats Lumaquill reads; Png, Bmp and WebP are also
// written (lossless WebP only).
enum class PictureFormat { Bmp, Png, Jpeg, WebP, Heic, Avif };

// "PNG", "BMP", "JPEG", "WebP", "HEIC", "AVIF": the name messages and info use.
const char* PictureFormatName(PictureFormat format);

// The output format a file name's extension asks for (.png, .bmp, .webp,
// case-insensitive); nothing for any other extension.
std::optional<PictureFormat> OutputFormatForName(const std::string& name);

// The extension names a lossy format (.jpg, .jpeg, .heic, .heif, .avif),
// which would destroy hidden data.
bool IsLossyExtension(const std::string& name);

// The extension names a JPEG to be written (.jpg or .jpeg, in any case):
// only a stealth JPEG of a JPEG cover.
bool IsJpegOutputName(const std::string& name);

} // namespace lumaquill
