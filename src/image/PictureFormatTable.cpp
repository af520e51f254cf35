#include "image/PictureFormatTable.h"

#include "image/BmpCodec.h"
#include "image/HeifCodec.h"
#include "image/JpegCodec.h"
#include "image/PictureLimits.h"
#include "image/PngCodec.h"
#include "image/WebpCodec.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cctype>
#include <filesystem>

namespace lumaquill {

namespace {

using Row = PictureFormatTable::Row;
using Exactness = PictureFormatTable::Exactness;
using Output = PictureFormatTable::Output;

const PngCodec kPng;
const JpegCodec kJpeg;
const WebpCodec kWebp;
// HEIC and AVIF share the container and its reader; the reader tells them
// apart by the file's brands.
const HeifCodec kHeif;
const BmpCodec kBmp;

constexpr const char* kPngExtensions[] = { "png" };
constexpr const char* kJpegExtensions[] = { "jpg", "jpeg" };
constexpr const char* kJpegReadOnlyExtensions[] = { "jpe" };
constexpr const char* kWebpExtensions[] = { "webp" };
constexpr const char* kHeicExtensions[] = { "heic", "heif" };
constexpr const char* kAvifExtensions[] = { "avif" };
constexpr const char* kBmpExtensions[] = { "bmp" };

// The one list of formats. Adding an output format is adding its row here
// and its codec; everything that names formats reads this table.
constexpr std::array kRows = {
    Row { .Format = PictureFormat::Png,
        .Name = "PNG",
        .Extensions = kPngExtensions,
        .Pixels = Exactness::Exact,
        .Written = Output::Saved,
        .SavePlace = 1,
        .SaveFilter = "PNG image",
        .MaxSide = limits::kMaxSide,
        .Codec = &kPng },
    Row { .Format = PictureFormat::Jpeg,
        .Name = "JPEG",
        .Extensions = kJpegExtensions,
        .ReadOnlyExtensions = kJpegReadOnlyExtensions,
        .Pixels = Exactness::Lossy,
        .Written = Output::StealthJpeg,
        .MaxSide = limits::kMaxSide,
        .Codec = &kJpeg },
    Row { .Format = PictureFormat::WebP,
        .Name = "WebP",
        .Extensions = kWebpExtensions,
        .Pixels = Exactness::Either,
        .Written = Output::Saved,
        .SavePlace = 3,
        .SaveFilter = "WebP image, lossless",
        .MaxSide = limits::kMaxWebpSide,
        .Codec = &kWebp },
    Row { .Format = PictureFormat::Heic,
        .Name = "HEIC",
        .Extensions = kHeicExtensions,
        .Pixels = Exactness::Lossy,
        .Written = Output::None,
        .MaxSide = limits::kMaxSide,
        .Codec = &kHeif },
    Row { .Format = PictureFormat::Avif,
        .Name = "AVIF",
        .Extensions = kAvifExtensions,
        .Pixels = Exactness::Lossy,
        .Written = Output::None,
        .MaxSide = limits::kMaxSide,
        .Codec = &kHeif },
    Row { .Format = PictureFormat::Bmp,
        .Name = "BMP",
        .Extensions = kBmpExtensions,
        .Pixels = Exactness::Exact,
        .Written = Output::Saved,
        .SavePlace = 2,
        .SaveFilter = "Bitmap files",
        .OpenFilter = "Bitmap files",
        .MaxSide = limits::kMaxSide,
        .Codec = &kBmp },
};

// Every saved format has its own place in the save prompt, the default
// first, and a description there; no other format has either.
constexpr bool SavePlacesHold()
{
    int saved = 0;
    for (const Row& row : kRows) {
        if ((row.Written == Output::Saved) != (row.SavePlace > 0 && row.SaveFilter != nullptr))
            return false;
        saved += row.Written == Output::Saved ? 1 : 0;
    }
    for (int place = 1; place <= saved; ++place) {
        if (std::count_if(kRows.begin(), kRows.end(), [&](const Row& r) { return r.SavePlace == place; }) != 1)
            return false;
    }
    return saved > 0;
}
static_assert(SavePlacesHold());

std::string Lower(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "png" for "a/b.PNG"; empty for a name without an extension, ".png" among
// them.
std::string BareExtension(const std::string& name)
{
    const std::string extension = std::filesystem::path(name).extension().string();
    return extension.empty() ? extension : extension.substr(1);
}

bool Contains(std::span<const char* const> extensions, const std::string& extension)
{
    return std::any_of(extensions.begin(), extensions.end(), [&](const char* e) { return extension == e; });
}

// "a, b or c" for lastJoiner " or ".
std::string JoinList(const std::vector<std::string>& items, const char* lastJoiner)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += i + 1 == items.size() ? lastJoiner : ", ";
        text += items[i];
    }
    return text;
}

// "*.png;*.jpg", every extension of the rows given.
std::string Patterns(std::span<const char* const> extensions)
{
    std::string patterns;
    for (const char* extension : extensions)
        patterns += (patterns.empty() ? "*." : ";*.") + std::string(extension);
    return patterns;
}

std::string ReadPatterns(const Row& row)
{
    std::string patterns = Patterns(row.Extensions);
    if (!row.ReadOnlyExtensions.empty())
        patterns += ";" + Patterns(row.ReadOnlyExtensions);
    return patterns;
}

// "PNG image (*.png)|*.png|": a filter entry that shows its patterns.
std::string FilterEntry(const char* description, const std::string& patterns)
{
    return std::string(description) + " (" + patterns + ")|" + patterns + "|";
}

} // namespace

std::span<const Row> PictureFormatTable::Rows()
{
    return kRows;
}

const Row& PictureFormatTable::Of(PictureFormat format)
{
    const auto row = std::find_if(kRows.begin(), kRows.end(), [&](const Row& r) { return r.Format == format; });
    assert(row != kRows.end());
    return *row;
}

const Row* PictureFormatTable::BySignature(const uint8_t* head, size_t size)
{
    for (const Row& row : kRows) {
        if (row.Codec->Sniff(head, size))
            return &row;
    }
    return nullptr;
}

const Row* PictureFormatTable::ByName(const std::string& name)
{
    return ByExtension(BareExtension(name));
}

const Row* PictureFormatTable::ByExtension(const std::string& extension)
{
    const std::string lower = Lower(extension);
    for (const Row& row : kRows) {
        if (Contains(row.Extensions, lower) || Contains(row.ReadOnlyExtensions, lower))
            return &row;
    }
    return nullptr;
}

const Row* PictureFormatTable::ByWrittenName(const std::string& name)
{
    const std::string lower = Lower(BareExtension(name));
    for (const Row& row : kRows) {
        if (Contains(row.Extensions, lower))
            return &row;
    }
    return nullptr;
}

std::vector<const Row*> PictureFormatTable::Saved()
{
    std::vector<const Row*> saved;
    for (const Row& row : kRows) {
        if (row.SavePlace > 0)
            saved.push_back(&row);
    }
    std::sort(saved.begin(), saved.end(), [](const Row* a, const Row* b) { return a->SavePlace < b->SavePlace; });
    return saved;
}

PictureFormat PictureFormatTable::DefaultOutput()
{
    return Saved().front()->Format;
}

std::string PictureFormatTable::ReadNameList()
{
    std::vector<std::string> names;
    for (const Row& row : kRows)
        names.emplace_back(row.Name);
    return JoinList(names, " or ");
}

std::string PictureFormatTable::LossyNameList(const char* lastJoiner)
{
    std::vector<std::string> names;
    for (const Row& row : kRows) {
        if (row.Pixels == Exactness::Lossy)
            names.emplace_back(row.Name);
    }
    return JoinList(names, lastJoiner);
}

std::string PictureFormatTable::SavedNameList(uint32_t minSide)
{
    std::vector<std::string> names;
    for (const Row* row : Saved()) {
        if (row->MaxSide >= minSide)
            names.emplace_back(row->Name);
    }
    return JoinList(names, " or ");
}

std::string PictureFormatTable::SavedExtensionList()
{
    std::vector<std::string> extensions;
    for (const Row* row : Saved())
        extensions.push_back("." + std::string(row->Extensions.front()));
    return JoinList(extensions, " or ");
}

std::string PictureFormatTable::KeptLosslessList()
{
    std::vector<std::string> names;
    for (const Row* row : Saved())
        names.push_back(row->Pixels == Exactness::Either ? "lossless " + std::string(row->Name) : row->Name);
    return JoinList(names, " or ");
}

std::string PictureFormatTable::OpenFilter()
{
    std::string every;
    std::string own;
    for (const Row& row : kRows) {
        every += (every.empty() ? "" : ";") + ReadPatterns(row);
        if (row.OpenFilter)
            own += FilterEntry(row.OpenFilter, ReadPatterns(row));
    }
    return "Images|" + every + "|" + own + "All files (*.*)|*.*||";
}

std::string PictureFormatTable::SaveFilter()
{
    std::string filter;
    for (const Row* row : Saved())
        filter += FilterEntry(row->SaveFilter, Patterns(row->Extensions));
    return filter + "|";
}

} // namespace lumaquill
