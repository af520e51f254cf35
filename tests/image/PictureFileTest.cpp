#include "image/PictureFile.h"

#include "image/BmpFixture.h"
#include "image/DibImage.h"
#include "image/PictureFolderTest.h"
#include "image/PngFixture.h"
#include "image/SaveBmp24.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace lumaquill {
namespace {

using test::BuildPng;
using test::PngLayout;

namespace fs = std::filesystem;

class PictureFileTest : public test::PictureFolderTest { };

std::string Fixture(const std::string& name)
{
    return std::string(LUMAQUILL_FIXTURES) + "/" + name;
}

// 8-bit samples of the test picture; each channel varies differently.
uint32_t Sample8(uint32_t x, uint32_t y, uint32_t c)
{
    return (x * 5 + y * 3 + c * 71 + x * y) & 0xFF;
}

// The picture as a plain 24-bit BMP file would hold it.
DibImage Bmp24Of(const std::function<uint32_t(uint32_t, uint32_t)>& rgb, const fs::path& path, uint32_t w, uint32_t h)
{
    const uint32_t stride = bmptest::StrideOf(24, w);
    std::vector<uint8_t> rows(size_t(stride) * h, 0);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t colour = rgb(x, y);
            uint8_t* p = rows.data() + size_t(h - 1 - y) * stride + 3 * x;
            p[0] = uint8_t(colour), p[1] = uint8_t(colour >> 8), p[2] = uint8_t(colour >> 16);
        }
    }
    EXPECT_NE(SaveBmp24(path.string(), int32_t(w), int32_t(h), rows), 0u);
    DibImage image;
    EXPECT_TRUE(PictureFile::Load(path.string(), image).Ok());
    return image;
}

// A PNG cover gives exactly the image the same picture as a 24-bit BMP
// gives: header and pixels (padding is zero in both).
TEST_F(PictureFileTest, PngCoverLoadsAsItsBmp)
{
    PngLayout png;
    png.Sample = Sample8;
    DibImage fromPng;
    const PictureLoad load = PictureFile::Load(Write("rgb.png", BuildPng(png)), fromPng);
    ASSERT_TRUE(load.Ok());
    EXPECT_EQ(load.Format, PictureFormat::Png);
    EXPECT_TRUE(load.Lossless);
    const DibImage fromBmp = Bmp24Of(
        [](uint32_t x, uint32_t y) { return Sample8(x, y, 2) | Sample8(x, y, 1) << 8 | Sample8(x, y, 0) << 16; },
        Dir / "rgb.bmp", png.Width, png.Height);
    EXPECT_EQ(fromPng.InfoHeader(), fromBmp.InfoHeader());
    EXPECT_EQ(fromPng.Pixels(), fromBmp.Pixels());
}

struct PngCase {
    const char* Name;
    uint8_t ColourType;
    uint8_t BitDepth;
    bool Interlaced;
    std::vector<uint8_t> Trns;
    uint16_t LoadedBits;
    // The expected colour of (x, y): B in bits 0-7, G, R, then alpha.
    std::function<uint32_t(uint32_t x, uint32_t y)> Expected;
};

constexpr uint32_t kOpaque = 0xFF000000;

uint32_t Rgb(uint32_t x, uint32_t y)
{
    return Sample8(x, y, 2) | Sample8(x, y, 1) << 8 | Sample8(x, y, 0) << 16;
}

uint32_t Grey(uint32_t v)
{
    return v | v << 8 | v << 16;
}

// Sample generators per declared depth: 16-bit samples have a distinct low
// byte, which must be dropped.
uint32_t SampleAt(uint8_t depth, uint8_t colourType, uint32_t x, uint32_t y, uint32_t c)
{
    if (colourType == 3)
        return (x + y) % 5;
    if (depth == 16)
        return Sample8(x, y, c) << 8 | ((x * 13 + c) & 0xFF);
    return Sample8(x, y, c) >> (8 - depth);
}

// Palette entry i is (40 i, 255 - 40 i, 7 i).
std::vector<uint8_t> FivePalette()
{
    std::vector<uint8_t> palette;
    for (uint32_t i = 0; i < 5; ++i)
        palette.insert(palette.end(), { uint8_t(40 * i), uint8_t(255 - 40 * i), uint8_t(7 * i) });
    return palette;
}

uint32_t PaletteColour(uint32_t i)
{
    return (7 * i) | (255 - 40 * i) << 8 | (40 * i) << 16;
}

// Which form a PNG takes depends on its declared format alone: alpha
// channel or tRNS on a palette or grey picture gives 32 bits, every other
// picture 24.
TEST_F(PictureFileTest, EveryPngFormLoadsAsDeclared)
{
    const std::vector<PngCase> cases = {
        { "rgb8", 2, 8, false, {}, 24, Rgb },
        { "rgb8 interlaced", 2, 8, true, {}, 24, Rgb },
        { "rgb16 keeps the high byte", 2, 16, false, {}, 24, Rgb },
        { "rgba8", 6, 8, false, {}, 32, [](uint32_t x, uint32_t y) { return Rgb(x, y) | Sample8(x, y, 3) << 24; } },
        { "rgba16 interlaced", 6, 16, true, {}, 32,
            [](uint32_t x, uint32_t y) { return Rgb(x, y) | Sample8(x, y, 3) << 24; } },
        { "grey8", 0, 8, false, {}, 24, [](uint32_t x, uint32_t y) { return Grey(Sample8(x, y, 0)); } },
        { "grey1 scales to 0 or 255", 0, 1, false, {}, 24,
            [](uint32_t x, uint32_t y) { return Grey((Sample8(x, y, 0) >> 7) * 255); } },
        { "grey4", 0, 4, false, {}, 24, [](uint32_t x, uint32_t y) { return Grey((Sample8(x, y, 0) >> 4) * 17); } },
        { "grey + alpha 8", 4, 8, false, {}, 32,
            [](uint32_t x, uint32_t y) { return Grey(Sample8(x, y, 0)) | Sample8(x, y, 1) << 24; } },
        { "grey8 + tRNS", 0, 8, false, { 0, 0x20 }, 32,
            [](uint32_t x, uint32_t y) { return Grey(Sample8(x, y, 0)) | (Sample8(x, y, 0) == 0x20 ? 0u : kOpaque); } },
        { "palette", 3, 8, false, {}, 24, [](uint32_t x, uint32_t y) { return PaletteColour((x + y) % 5); } },
        { "palette 4-bit + short tRNS", 3, 4, false, { 0, 128 }, 32,
            [](uint32_t x, uint32_t y) {
                const uint32_t i = (x + y) % 5;
                return PaletteColour(i) | (i == 0 ? 0u : i == 1 ? 128u << 24 : kOpaque);
            } },
        { "rgb + tRNS stays 24-bit", 2, 8, false, { 0, 1, 0, 2, 0, 3 }, 24, Rgb },
    };
    for (const PngCase& c : cases) {
        PngLayout png;
        png.ColourType = c.ColourType;
        png.BitDepth = c.BitDepth;
        png.Interlaced = c.Interlaced;
        png.Trns = c.Trns;
        if (c.ColourType == 3)
            png.Palette = FivePalette();
        png.Sample = [&c](uint32_t x, uint32_t y, uint32_t ch) { return SampleAt(c.BitDepth, c.ColourType, x, y, ch); };
        DibImage image;
        ASSERT_TRUE(PictureFile::Load(Write("case.png", BuildPng(png)), image).Ok()) << c.Name;
        ASSERT_EQ(image.BitCount(), c.LoadedBits) << c.Name;
        const uint32_t mask = c.LoadedBits == 32 ? 0xFFFFFFFF : 0x00FFFFFF;
        for (uint32_t y = 0; y < png.Height; ++y) {
            for (uint32_t x = 0; x < png.Width; ++x)
                ASSERT_EQ(image.GetPixel(int32_t(x), int32_t(y + 1)), c.Expected(x, y) & mask)
                    << c.Name << " at " << x << ", " << y;
        }
    }
}

struct RefusedCase {
    const char* Name;
    std::string Path;
    LoadProblem Problem;
};

// Each refused file leaves the image empty and says why.
TEST_F(PictureFileTest, RefusedFilesSayWhy)
{
    PngLayout plain;
    plain.Sample = Sample8;
    const std::string png = BuildPng(plain);
    PngLayout animated = plain;
    animated.Extra.push_back({ "acTL", { 0, 0, 0, 1, 0, 0, 0, 0 } });
    bmptest::BmpLayout rle = bmptest::PatternLayout(5, 3, 8);
    rle.Compression = 1;
    const std::vector<RefusedCase> cases = {
        { "missing", (Dir / "missing.png").string(), LoadProblem::Missing },
        { "folder", Dir.string(), LoadProblem::Folder },
        { "device", "/dev/null", LoadProblem::NotRegular },
        { "text", Write("text.png", "just some words"), LoadProblem::NotAPicture },
        { "empty", Write("empty.png", ""), LoadProblem::NotAPicture },
        { "truncated PNG", Write("cut.png", png.substr(0, png.size() / 2)), LoadProblem::Truncated },
        { "PNG without IEND", Write("noend.png", png.substr(0, png.size() - 12)), LoadProblem::Truncated },
        { "bad IDAT CRC", Write("crc.png", test::WithBadCrc(png, "IDAT")), LoadProblem::BadChecksum },
        { "bad IHDR CRC", Write("crcihdr.png", test::WithBadCrc(png, "IHDR")), LoadProblem::BadChecksum },
        { "animated PNG", Write("anim.png", BuildPng(animated)), LoadProblem::Animated },
        { "animated WebP", Fixture("animated.webp"), LoadProblem::Animated },
        { "CMYK JPEG", Fixture("cmyk.jpg"), LoadProblem::Cmyk },
        { "truncated JPEG", Write("cut.jpg", bmptest::Bytes(std::vector<uint8_t>(4, 0xFF)).replace(1, 1, "\xD8")),
            LoadProblem::Truncated },
        { "RLE bitmap", Write("rle.bmp", bmptest::BuildBmp(rle)), LoadProblem::Unsupported },
    };
    for (const RefusedCase& c : cases) {
        DibImage image;
        const PictureLoad load = PictureFile::Load(c.Path, image);
        EXPECT_EQ(load.Problem, c.Problem) << c.Name << ": " << LoadProblemText(load.Problem, load.Detail);
        EXPECT_FALSE(image.IsValid()) << c.Name;
    }
}

TEST(LoadProblemText, NamesTheReason)
{
    EXPECT_EQ(LoadProblemText(LoadProblem::BadChecksum, "PNG"), "the PNG file is damaged (a checksum does not match)");
    EXPECT_EQ(LoadProblemSentence(LoadProblem::Unsupported, "a run-length compressed bitmap"),
        "This kind of picture is not supported (a run-length compressed bitmap).");
    EXPECT_EQ(LoadProblemSentence(LoadProblem::Missing, ""), "The file does not exist.");
}

struct CoverCase {
    const char* File;
    PictureFormat Format;
    bool Lossless;
    int32_t Width;
    int32_t Height;
    uint16_t Bits;
};

// Covers from cameras and the web: format, exactness, upright size and form.
TEST_F(PictureFileTest, LossyAndWebCoversLoad)
{
    const std::vector<CoverCase> cases = {
        { "cover.jpg", PictureFormat::Jpeg, false, 47, 33, 24 },
        { "rotated.jpg", PictureFormat::Jpeg, false, 33, 47, 24 },
        { "lossy.webp", PictureFormat::WebP, false, 47, 33, 24 },
        { "lossy_alpha.webp", PictureFormat::WebP, false, 47, 33, 32 },
        { "lossless.webp", PictureFormat::WebP, true, 47, 33, 24 },
        { "lossless_alpha.webp", PictureFormat::WebP, true, 47, 33, 32 },
        { "cover.heic", PictureFormat::Heic, false, 47, 33, 24 },
        { "cover.avif", PictureFormat::Avif, false, 47, 33, 24 },
    };
    for (const CoverCase& c : cases) {
        DibImage image;
        const PictureLoad load = PictureFile::Load(Fixture(c.File), image);
        ASSERT_TRUE(load.Ok()) << c.File << ": " << LoadProblemText(load.Problem, load.Detail);
        EXPECT_EQ(load.Format, c.Format) << c.File;
        EXPECT_EQ(load.Lossless, c.Lossless) << c.File;
        EXPECT_EQ(image.Width(), c.Width) << c.File;
        EXPECT_EQ(image.Height(), c.Height) << c.File;
        EXPECT_EQ(image.BitCount(), c.Bits) << c.File;
    }
}

// The fixture is a red (top) to blue (bottom) gradient stored with EXIF
// orientation 6: upright, the stored top row is the right-hand column.
TEST_F(PictureFileTest, ExifOrientationTurnsTheJpegUpright)
{
    DibImage image;
    ASSERT_TRUE(PictureFile::Load(Fixture("rotated.jpg"), image).Ok());
    const uint32_t right = image.GetPixel(image.Width() - 1, image.Height() / 2);
    const uint32_t left = image.GetPixel(0, image.Height() / 2);
    EXPECT_GT((right >> 16) & 0xFF, 200u) << std::hex << right;
    EXPECT_LT(right & 0xFF, 60u) << std::hex << right;
    EXPECT_GT(left & 0xFF, 200u) << std::hex << left;
    EXPECT_LT((left >> 16) & 0xFF, 60u) << std::hex << left;
}

struct OutputCase {
    PictureFormat Format;
    uint16_t Bits;
    // The fourth bytes: 0 = all zero, else a pattern.
    bool Alpha;
};

// Every written format reads back to the same form and pixels; a 32-bit
// image whose fourth bytes are all 0 comes back opaque, still 32-bit.
TEST_F(PictureFileTest, WrittenFormatsReadBackExactly)
{
    const std::vector<OutputCase> cases = {
        { PictureFormat::Png, 24, false },
        { PictureFormat::Png, 32, true },
        { PictureFormat::Png, 32, false },
        { PictureFormat::WebP, 24, false },
        { PictureFormat::WebP, 32, true },
        { PictureFormat::WebP, 32, false },
        { PictureFormat::Bmp, 24, false },
        { PictureFormat::Bmp, 32, true },
    };
    for (const OutputCase& c : cases) {
        bmptest::BmpLayout layout = bmptest::PatternLayout(47, 33, c.Bits);
        for (size_t i = 3; c.Bits == 32 && !c.Alpha && i < layout.Rows.size(); i += 4)
            layout.Rows[i] = 0;
        DibImage source;
        ASSERT_TRUE(PictureFile::Load(Write("source.bmp", bmptest::BuildBmp(layout)), source).Ok());
        const std::optional<std::vector<uint8_t>> bytes = PictureFile::Encode(c.Format, source, {});
        ASSERT_TRUE(bytes) << PictureFormatName(c.Format);
        DibImage back;
        const PictureLoad load = PictureFile::Load(Write("back", bmptest::Bytes(*bytes)), back);
        ASSERT_TRUE(load.Ok()) << PictureFormatName(c.Format) << ": " << LoadProblemText(load.Problem, load.Detail);
        EXPECT_EQ(load.Format, c.Format);
        ASSERT_EQ(back.BitCount(), c.Bits) << PictureFormatName(c.Format);
        const uint32_t fill = c.Bits == 32 && !c.Alpha && c.Format != PictureFormat::Bmp ? kOpaque : 0;
        for (int32_t y = 1; y <= 33; ++y) {
            for (int32_t x = 0; x < 47; ++x)
                ASSERT_EQ(back.GetPixel(x, y), source.GetPixel(x, y) | fill)
                    << PictureFormatName(c.Format) << " " << c.Bits << " at " << x << ", " << y;
        }
    }
}

// A BMP output is the same file DibImage::Write writes.
TEST_F(PictureFileTest, BmpOutputIsWhatWriteGives)
{
    DibImage image;
    ASSERT_TRUE(PictureFile::Load(Write("p.bmp", bmptest::BuildBmp(bmptest::PatternLayout(47, 33, 24))), image).Ok());
    std::ostringstream written(std::ios::binary);
    image.Write(written);
    const std::optional<std::vector<uint8_t>> bytes = PictureFile::Encode(PictureFormat::Bmp, image, {});
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bmptest::Bytes(*bytes), written.str());
}

// The cover's colour profile goes into PNG and WebP outputs.
TEST_F(PictureFileTest, ColourProfileIsCarried)
{
    PngLayout png;
    png.Sample = Sample8;
    png.Extra.push_back({ "gAMA", { 0, 0, 0xB1, 0x8F } });
    png.Extra.push_back({ "sRGB", { 0 } });
    DibImage image;
    const PictureLoad load = PictureFile::Load(Write("profiled.png", BuildPng(png)), image);
    ASSERT_TRUE(load.Ok());
    ASSERT_EQ(load.Profile.Gamma, 45455u);
    ASSERT_EQ(load.Profile.SrgbIntent, 0);
    DibImage back;
    const std::optional<std::vector<uint8_t>> bytes = PictureFile::Encode(PictureFormat::Png, image, load.Profile);
    ASSERT_TRUE(bytes);
    const PictureLoad again = PictureFile::Load(Write("again.png", bmptest::Bytes(*bytes)), back);
    EXPECT_EQ(again.Profile.Gamma, 45455u);
    EXPECT_EQ(again.Profile.SrgbIntent, 0);

    DibImage jpeg;
    EXPECT_EQ(PictureFile::Load(Fixture("profiled.jpg"), jpeg).Profile.Icc.size(), 2576u);

    ColourProfile icc;
    icc.Icc.assign(300, 0x5A);
    for (PictureFormat format : { PictureFormat::Png, PictureFormat::WebP }) {
        const std::optional<std::vector<uint8_t>> out = PictureFile::Encode(format, image, icc);
        ASSERT_TRUE(out);
        EXPECT_EQ(PictureFile::Load(Write("icc", bmptest::Bytes(*out)), back).Profile.Icc, icc.Icc)
            << PictureFormatName(format);
    }
}

} // namespace
} // namespace lumaquill
