#include "image/PictureFormat.h"

#include "image/PictureFormatTable.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace lumaquill {

const char* PictureFormatName(PictureFormat format)
{
    return PictureFormatTable::Of(format).Name;
}

std::optional<PictureFormat> OutputFormatForName(const std::string& name)
{
    const PictureFormatTable::Row* row = PictureFormatTable::ByName(name);
    if (!row || row->Written != PictureFormatTable::Output::Saved)
        return std::nullopt;
    return row->Format;
}

bool IsLossyExtension(const std::string& name)
{
    const PictureFormatTable::Row* row = PictureFormatTable::ByName(name);
    return row && row->Pixels == PictureFormatTable::Exactness::Lossy;
}

// A stealth JPEG takes only the extensions a JPEG is written under.
bool IsJpegOutputName(const std::string& name)
{
    const PictureFormatTable::Row* row = PictureFormatTable::ByName(name);
    if (!row || row->Written != PictureFormatTable::Output::StealthJpeg)
        return false;
    std::string extension = std::filesystem::path(name).extension().string().substr(1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(row->Extensions.begin(), row->Extensions.end(), extension) != row->Extensions.end();
}

bool IsPictureName(const std::string& name)
{
    return PictureFormatTable::ByName(name) != nullptr;
}

PictureFormat DefaultOutputFormat()
{
    return PictureFormatTable::DefaultOutput();
}

} // namespace lumaquill
