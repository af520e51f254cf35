#include "image/PictureFormatTable.h"

#include "image/DibBuilder.h"
#include "image/DibImage.h"
#include "image/LoadProblem.h"
#include "image/PictureCodec.h"
#include "image/PictureFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumaquill {
namespace {

using Row = PictureFormatTable::Row;

std::vector<uint8_t> Head(std::string_view bytes)
{
    return { bytes.begin(), bytes.end() };
}

// The first bytes of a file of each format, no more than its signature.
struct SignatureCase {
    const char* Name;
    std::vector<uint8_t> Head;
    PictureFormat Format;
};

const std::vector<SignatureCase> kSignatures = {
    { "PNG", Head("\x89PNG\r\n\x1a\n"), PictureFormat::Png },
    { "JPEG", Head("\xFF\xD8\xFF"), PictureFormat::Jpeg },
    { "WebP", Head(std::string_view("RIFF\x10\0\0\0WEBP", 12)), PictureFormat::WebP },
    { "HEIC",
        Head(std::string_view("\0\0\0\x18"
                              "ftypheic",
            12)),
        PictureFormat::Heic },
    { "AVIF",
        Head(std::string_view("\0\0\0\x18"
                              "ftypavif",
            12)),
        PictureFormat::Avif },
    { "BMP", Head("BM"), PictureFormat::Bmp },
};

// Each format's signature chooses its row's codec; HEIC and AVIF share
// theirs, which tells them apart when it reads the file.
TEST(PictureFormatTable, EachSignatureChoosesItsRowsCodec)
{
    for (const SignatureCase& c : kSignatures) {
        const Row* row = PictureFormatTable::BySignature(c.Head.data(), c.Head.size());
        ASSERT_NE(row, nullptr) << c.Name;
        EXPECT_EQ(row->Codec, PictureFormatTable::Of(c.Format).Codec) << c.Name;
        if (c.Format != PictureFormat::Avif) {
            EXPECT_EQ(row->Format, c.Format) << c.Name;
        }
    }
}

// One byte short of its signature, no file is taken for the format.
TEST(PictureFormatTable, ACutSignatureChoosesNothing)
{
    for (const SignatureCase& c : kSignatures) {
        EXPECT_EQ(PictureFormatTable::BySignature(c.Head.data(), c.Head.size() - 1), nullptr) << c.Name;
    }
    const std::vector<uint8_t> text = Head("GIF89a, or text");
    EXPECT_EQ(PictureFormatTable::BySignature(text.data(), text.size()), nullptr);
}

TEST(PictureFormatTable, EveryFormatHasOneRow)
{
    for (PictureFormat format : { PictureFormat::Bmp, PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::WebP,
             PictureFormat::Heic, PictureFormat::Avif }) {
        int rows = 0;
        for (const Row& row : PictureFormatTable::Rows())
            rows += row.Format == format ? 1 : 0;
        EXPECT_EQ(rows, 1) << PictureFormatName(format);
        EXPECT_EQ(PictureFormatTable::Of(format).Format, format);
    }
}

// What a file name's extension says, in any case.
struct NameCase {
    const char* Name;
    std::optional<PictureFormat> Output;
    bool Lossy;
    bool StealthJpeg;
    bool Picture;
};

TEST(PictureFormatTable, ExtensionsTellWhatANameAsksFor)
{
    const std::vector<NameCase> cases = {
        { "out.png", PictureFormat::Png, false, false, true },
        { "OUT.PNG", PictureFormat::Png, false, false, true },
        { "out.bmp", PictureFormat::Bmp, false, false, true },
        { "out.WebP", PictureFormat::WebP, false, false, true },
        { "photo.jpg", std::nullopt, true, true, true },
        { "photo.JPEG", std::nullopt, true, true, true },
        { "photo.jpe", std::nullopt, true, false, true },
        { "photo.heic", std::nullopt, true, false, true },
        { "photo.HEIF", std::nullopt, true, false, true },
        { "photo.avif", std::nullopt, true, false, true },
        { "notes.txt", std::nullopt, false, false, false },
        { "png", std::nullopt, false, false, false },
        { ".png", std::nullopt, false, false, false },
        { "folder.png/notes", std::nullopt, false, false, false },
        { "archive.png.gz", std::nullopt, false, false, false },
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(OutputFormatForName(c.Name), c.Output) << c.Name;
        EXPECT_EQ(IsLossyExtension(c.Name), c.Lossy) << c.Name;
        EXPECT_EQ(IsJpegOutputName(c.Name), c.StealthJpeg) << c.Name;
        EXPECT_EQ(IsPictureName(c.Name), c.Picture) << c.Name;
    }
}

// The lists of formats that messages are made of, exactly as shown.
TEST(PictureFormatTable, MessagesListTheFormats)
{
    EXPECT_EQ(PictureFormatTable::ReadNameList(), "PNG, JPEG, WebP, HEIC, AVIF or BMP");
    EXPECT_EQ(PictureFormatTable::LossyNameList(", "), "JPEG, HEIC, AVIF");
    EXPECT_EQ(PictureFormatTable::LossyNameList(" or "), "JPEG, HEIC or AVIF");
    EXPECT_EQ(PictureFormatTable::SavedNameList(), "PNG, BMP or WebP");
    EXPECT_EQ(PictureFormatTable::SavedNameList(16384), "PNG or BMP");
    EXPECT_EQ(PictureFormatTable::SavedExtensionList(), ".png, .bmp or .webp");
    EXPECT_EQ(PictureFormatTable::KeptLosslessList(), "PNG, BMP or lossless WebP");
    EXPECT_EQ(LoadProblemText(LoadProblem::NotAPicture, ""),
        "it is not a picture Lumaquill reads (PNG, JPEG, WebP, HEIC, AVIF or BMP)");
}

TEST(PictureFormatTable, FiltersOfferTheFormats)
{
    EXPECT_EQ(PictureFormatTable::OpenFilter(),
        "Images|*.png;*.jpg;*.jpeg;*.jpe;*.webp;*.heic;*.heif;*.avif;*.bmp|Bitmap files (*.bmp)|*.bmp|All files "
        "(*.*)|*.*||");
    EXPECT_EQ(PictureFormatTable::SaveFilter(),
        "PNG image (*.png)|*.png|Bitmap files (*.bmp)|*.bmp|WebP image, lossless (*.webp)|*.webp||");
    EXPECT_EQ(PictureFormatTable::DefaultOutput(), PictureFormat::Png);
}

// A format beyond whose side a picture is refused names its limit and the
// formats that take the picture.
TEST(PictureFormatTable, AFormatsOwnSideLimitIsExplained)
{
    EXPECT_EQ(PictureFile::WriteProblem(PictureFormat::WebP, 16384, 2, 24),
        "a WebP picture is at most 16383 pixels wide and high; choose PNG or BMP for this one");
    EXPECT_EQ(PictureFile::WriteProblem(PictureFormat::WebP, 2, 16383, 24), "");
}

// Every format the save prompt offers is written, and its file is chosen
// by its own signature when read back; no other format is written.
TEST(PictureFormatTable, SavedFormatsAreReadBackByTheirSignature)
{
    DibBuilder builder;
    ASSERT_TRUE(builder.Start(5, 3, 24));
    for (uint32_t i = 0; i < 5 * 3 * 3; ++i)
        builder.Data()[i + (i / 15) * 1] = uint8_t(i * 17);
    DibImage image;
    builder.Finish(image);
    for (const Row& row : PictureFormatTable::Rows()) {
        const std::optional<std::vector<uint8_t>> bytes = PictureFile::Encode(row.Format, image, {});
        const bool saved = row.Written == PictureFormatTable::Output::Saved;
        ASSERT_EQ(bytes.has_value(), saved) << row.Name;
        if (!saved)
            continue;
        EXPECT_EQ(
            PictureFormatTable::BySignature(bytes->data(), std::min(bytes->size(), PictureCodec::kSniffBytes)), &row)
            << row.Name;
    }
}

} // namespace
} // namespace lumaquill
