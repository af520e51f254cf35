#include "image/PictureFormat.h"

#include "image/PictureFormatTable.h"

namespace lumaquill {

const char* PictureFormatName(PictureFormat format)
{
    return PictureFormatTable::Of(format).Name;
}

std::optional<PictureFormat> OutputFormatForName(const std::string& name)
{
    const PictureFormatTable::Row* row = PictureFormatTable::ByWrittenName(name);
    if (!row || row->Written != PictureFormatTable::Output::Saved)
        return std::nullopt;
    return row->Format;
}

bool IsLossyExtension(const std::string& name)
{
    const PictureFormatTable::Row* row = PictureFormatTable::ByName(name);
    return row && row->Pixels == PictureFormatTable::Exactness::Lossy;
}

bool IsJpegOutputName(const std::string& name)
{
    const PictureFormatTable::Row* row = PictureFormatTable::ByWrittenName(name);
    return row && row->Written == PictureFormatTable::Output::StealthJpeg;
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
