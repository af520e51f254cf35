#include "image/PictureFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>

namespace lumaquill {

namespace {

std::string LowerExtension(const std::string& name)
{
    std::string extension = std::filesystem::path(name).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

const char* PictureFormatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp:
        return "BMP";
    case PictureFormat::Png:
        return "PNG";
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::WebP:
        return "WebP";
    case PictureFormat::Heic:
        return "HEIC";
    case PictureFormat::Avif:
        return "AVIF";
    }
    return "";
}

std::optional<PictureFormat> OutputFormatForName(const std::string& name)
{
    const std::string extension = LowerExtension(name);
    if (extension == ".png")
        return PictureFormat::Png;
    if (extension == ".bmp")
        return PictureFormat::Bmp;
    if (extension == ".webp")
        return PictureFormat::WebP;
    return std::nullopt;
}

bool IsLossyExtension(const std::string& name)
{
    constexpr std::array kLossy = { ".jpg", ".jpeg", ".jpe", ".heic", ".heif", ".avif" };
    const std::string extension = LowerExtension(name);
    return std::find(kLossy.begin(), kLossy.end(), extension) != kLossy.end();
}

bool IsJpegOutputName(const std::string& name)
{
    const std::string extension = LowerExtension(name);
    return extension == ".jpg" || extension == ".jpeg";
}

} // namespace lumaquill
