#include "image/PictureFile.h"

#include "core/MessageText.h"
#include "image/DibImage.h"
#include "image/PictureCodec.h"
#include "image/PictureFormatTable.h"
#include "image/PictureLimits.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace lumaquill {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The path names a file that can be opened; anything else is a result.
PictureLoad CheckPath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return PictureLoad::Failed(LoadProblem::Missing);
    if (status.type() == std::filesystem::file_type::directory)
        return PictureLoad::Failed(LoadProblem::Folder);
    if (error)
        return PictureLoad::Failed(LoadProblem::Unreadable);
    // Pictures are measured and read back and forth; a pipe or a device
    // could also block the load for ever.
    if (status.type() != std::filesystem::file_type::regular)
        return PictureLoad::Failed(LoadProblem::NotRegular);
    return {};
}

uint64_t FileLength(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    const long end = std::ftell(file);
    std::rewind(file);
    return end < 0 ? 0 : uint64_t(end);
}

} // namespace

const PictureCodec* PictureFile::CodecFor(const uint8_t* head, size_t size)
{
    const PictureFormatTable::Row* row = PictureFormatTable::BySignature(head, size);
    return row ? row->Codec : nullptr;
}

PictureLoad PictureFile::Load(const std::string& path, DibImage& image)
{
    image.Clear();
    PictureLoad checked = CheckPath(path);
    if (!checked.Ok())
        return checked;
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return PictureLoad::Failed(LoadProblem::Unreadable);
    std::array<uint8_t, PictureCodec::kSniffBytes> head {};
    const size_t size = std::fread(head.data(), 1, head.size(), file.get());
    const PictureCodec* codec = CodecFor(head.data(), size);
    if (!codec)
        return PictureLoad::Failed(LoadProblem::NotAPicture);
    const PictureInput input { path, file.get(), FileLength(file.get()) };
    PictureLoad load = codec->Load(input, image);
    if (!load.Ok())
        image.Clear();
    return load;
}

std::string PictureFile::WriteProblem(PictureFormat format, uint32_t width, uint32_t height, uint16_t bitsPerPixel)
{
    if (!limits::Fits(width, height, bitsPerPixel))
        return message::kBeyondPictureLimits + limits::Text();
    const PictureFormatTable::Row& row = PictureFormatTable::Of(format);
    if (width > row.MaxSide || height > row.MaxSide)
        return message::kBeyondFormatSide + std::string(row.Name) + message::kBeyondFormatSideLimit
            + std::to_string(row.MaxSide) + message::kBeyondFormatSideChoose
            + PictureFormatTable::SavedNameList(std::max(width, height)) + message::kBeyondFormatSideEnd;
    return {};
}

std::optional<std::vector<uint8_t>> PictureFile::Encode(
    PictureFormat format, const DibImage& image, const ColourProfile& profile)
{
    if (!image.IsValid() || (image.BitCount() != 24 && image.BitCount() != 32))
        return std::nullopt;
    if (!WriteProblem(format, uint32_t(image.Width()), uint32_t(image.Height()), image.BitCount()).empty())
        return std::nullopt;
    const PictureFormatTable::Row& row = PictureFormatTable::Of(format);
    if (row.Written != PictureFormatTable::Output::Saved)
        return std::nullopt;
    return row.Codec->Encode(image, profile);
}

} // namespace lumaquill
