#include "image/PictureLimits.h"

#include "image/BmpFixture.h"
#include "image/DibBuilder.h"
#include "image/DibImage.h"
#include "image/ExifOrientation.h"
#include "image/PictureFile.h"
#include "image/PictureFolderTest.h"
#include "image/PngFixture.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumaquill {
namespace {

namespace fs = std::filesystem;

class PictureLimitsTest : public test::PictureFolderTest { };

void PutBe16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
}

// A PNG of nothing but its signature, IHDR, an empty IDAT and IEND.
std::string PngHeaderOnly(uint32_t width, uint32_t height, uint8_t colourType = 2)
{
    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    test::PutBe32(ihdr, width);
    test::PutBe32(ihdr, height);
    ihdr += std::string { 8, char(colourType), 0, 0, 0 };
    test::PutChunk(out, "IHDR", ihdr);
    test::PutChunk(out, "IDAT", std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));
    test::PutChunk(out, "IEND", "");
    return out;
}

// A bitmap of nothing but its two headers.
std::string BmpHeaderOnly(int32_t width, int32_t height, uint16_t bits)
{
    bmptest::BmpLayout layout = bmptest::PatternLayout(1, 1, bits);
    layout.Width = width;
    layout.Height = height;
    layout.Rows.clear();
    return bmptest::BuildBmp(layout);
}

// SOI, a progressive frame header of 8-bit components, a scan header for
// the first and EOI: enough for the frame's size to be read.
std::string JpegHeaderOnly(uint32_t width, uint32_t height, uint32_t scans = 1, uint8_t components = 1)
{
    std::string out("\xFF\xD8", 2);
    out += std::string("\xFF\xC2", 2);
    PutBe16(out, 8 + 3 * uint32_t(components));
    out += std::string("\x08", 1);
    PutBe16(out, height);
    PutBe16(out, width);
    out.push_back(char(components));
    for (uint8_t c = 1; c <= components; ++c)
        out += std::string { char(c), 0x11, 0 };
    for (uint32_t scan = 0; scan < scans; ++scan) {
        out += std::string("\xFF\xDA", 2);
        PutBe16(out, 8);
        out += std::string("\x01\x01\x00\x00\x00\x00", 6);
    }
    out += std::string("\xFF\xD9", 2);
    return out;
}

// A lossless WebP whose header declares the size and an alpha channel,
// followed by a few zero bytes of image data.
std::string WebpLosslessHeader(uint32_t width, uint32_t height)
{
    std::string chunk("\x2F", 1);
    const uint32_t bits = (width - 1) | (height - 1) << 14 | 1u << 28;
    for (int shift = 0; shift < 32; shift += 8)
        chunk.push_back(static_cast<char>(bits >> shift));
    chunk += std::string(9, '\0');
    std::string out = "RIFF";
    const uint32_t riff = 4 + 8 + uint32_t(chunk.size());
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>(riff >> shift));
    out += "WEBPVP8L";
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>(chunk.size() >> shift));
    return out + chunk;
}

std::string Be32(uint32_t v)
{
    std::string out;
    test::PutBe32(out, v);
    return out;
}

std::string Be16(uint32_t v)
{
    std::string out;
    PutBe16(out, v);
    return out;
}

// An ISO media box: size (u32), type, body.
std::string Box(const std::string& type, const std::string& body)
{
    return Be32(uint32_t(8 + body.size())) + type + body;
}

// A full box: a box whose body starts with a version byte and 24 bits of
// flags.
std::string FullBox(const std::string& type, uint8_t version, uint8_t flags, const std::string& body)
{
    return Box(type, std::string { char(version), 0, 0, char(flags) } + body);
}

// A HEIC whose primary item is a grid of one 512-square tile that declares
// side x side pixels; the tile's 64 bytes of coded data are zeros.
std::string HeicGrid(uint32_t side)
{
    const std::string ftyp = Box("ftyp", "heic" + Be32(0) + "mif1heic");
    const std::string hdlr = FullBox("hdlr", 0, 0, Be32(0) + "pict" + std::string(13, '\0'));
    const std::string pitm = FullBox("pitm", 0, 0, Be16(1));
    const std::string iinf = FullBox("iinf", 0, 0,
        Be16(2) + FullBox("infe", 2, 0, Be16(1) + Be16(0) + "grid" + std::string(1, '\0'))
            + FullBox("infe", 2, 1, Be16(2) + Be16(0) + "hvc1" + std::string(1, '\0')));
    const std::string iref = FullBox("iref", 0, 0, Box("dimg", Be16(1) + Be16(1) + Be16(2)));
    const std::string ipco = Box("ipco",
        FullBox("ispe", 0, 0, Be32(side) + Be32(side)) + Box("hvcC", std::string(1, '\1') + std::string(22, '\0'))
            + FullBox("ispe", 0, 0, Be32(512) + Be32(512)));
    const std::string ipma = FullBox("ipma", 0, 0,
        Be32(2) + Be16(1) + std::string { 1, char(0x81) } + Be16(2) + std::string { 2, char(0x82), char(0x83) });
    // Grid: version, flags (16-bit sizes), rows - 1, columns - 1, width, height.
    const std::string grid = std::string(4, '\0') + Be16(side) + Be16(side);
    const auto meta = [&](uint32_t tileOffset) {
        // Version 1 locations of 4-byte offsets and lengths: the grid in
        // idat, the tile in the file.
        const std::string iloc = FullBox("iloc", 1, 0,
            std::string { 0x44, 0 } + Be16(2) + Be16(1) + Be16(1) + Be16(0) + Be16(1) + Be32(0)
                + Be32(uint32_t(grid.size())) + Be16(2) + Be16(0) + Be16(0) + Be16(1) + Be32(tileOffset) + Be32(64));
        return FullBox("meta", 0, 0, hdlr + pitm + iloc + iinf + iref + Box("iprp", ipco + ipma) + Box("idat", grid));
    };
    const auto tileOffset = uint32_t(ftyp.size() + meta(0).size() + 8);
    return ftyp + meta(tileOffset) + Box("mdat", std::string(64, '\0'));
}

struct HostileCase {
    const char* Name;
    std::string Bytes;
    LoadProblem Problem;
};

// A few bytes declaring a huge picture are refused from the declared
// header, with the reason, before the picture is allocated or decoded.
TEST_F(PictureLimitsTest, TinyFilesDeclaringHugePicturesAreRefused)
{
    const std::vector<HostileCase> cases = {
        { "PNG side beyond the limit", PngHeaderOnly(limits::kMaxSide + 1, 1), LoadProblem::TooLarge },
        { "PNG of 30000 x 30000", PngHeaderOnly(30000, 30000), LoadProblem::TooLarge },
        { "PNG of 18900 x 18900 in 69 bytes", PngHeaderOnly(18900, 18900), LoadProblem::Truncated },
        { "PNG of 0 x 0", PngHeaderOnly(0, 0), LoadProblem::Damaged },
        { "BMP of 19000 x 19000", BmpHeaderOnly(19000, 19000, 24), LoadProblem::TooLarge },
        { "BMP side beyond the limit", BmpHeaderOnly(int32_t(limits::kMaxSide) + 1, 1, 24), LoadProblem::TooLarge },
        { "BMP of 18900 x 18900 without rows", BmpHeaderOnly(18900, 18900, 24), LoadProblem::Truncated },
        { "JPEG of 40000 x 40000", JpegHeaderOnly(40000, 40000), LoadProblem::TooLarge },
        { "JPEG of 65500 x 8 without tables", JpegHeaderOnly(65500, 8), LoadProblem::Damaged },
        { "JPEG of too many scans", JpegHeaderOnly(8, 8, limits::kMaxJpegScans + 1), LoadProblem::Unsupported },
        // Within the picture limits, but a progressive colour picture's
        // coefficients pass the decoder's memory budget.
        { "progressive colour JPEG of 18000 x 18000", JpegHeaderOnly(18000, 18000, 1, 3), LoadProblem::TooLarge },
        { "WebP of 16383 x 16383 with alpha", WebpLosslessHeader(16383, 16383), LoadProblem::Damaged },
        { "HEIC grid of 32767 x 32767", HeicGrid(32767), LoadProblem::TooLarge },
    };
    for (const HostileCase& c : cases) {
        DibImage image;
        const PictureLoad load = PictureFile::Load(Write("hostile", c.Bytes), image);
        EXPECT_EQ(load.Problem, c.Problem) << c.Name << ": " << LoadProblemText(load.Problem, load.Detail);
        EXPECT_FALSE(image.IsValid()) << c.Name;
    }
}

TEST_F(PictureLimitsTest, RefusalsNameTheLimitOrTheScans)
{
    DibImage image;
    const PictureLoad large = PictureFile::Load(Write("large.png", PngHeaderOnly(30000, 30000)), image);
    EXPECT_NE(LoadProblemText(large.Problem, large.Detail).find(std::to_string(limits::kMaxSide) + " pixels a side"),
        std::string::npos);
    const PictureLoad memory = PictureFile::Load(Write("memory.jpg", JpegHeaderOnly(18000, 18000, 1, 3)), image);
    EXPECT_NE(LoadProblemText(memory.Problem, memory.Detail).find("MiB of working memory"), std::string::npos);
    const PictureLoad scans
        = PictureFile::Load(Write("scans.jpg", JpegHeaderOnly(8, 8, limits::kMaxJpegScans + 1)), image);
    EXPECT_NE(LoadProblemText(scans.Problem, scans.Detail).find(std::to_string(limits::kMaxJpegScans) + " scans"),
        std::string::npos);
}

// A PNG whose final CRC lacks its last byte is cut short.
TEST_F(PictureLimitsTest, PngMissingItsLastByteIsCutShort)
{
    test::PngLayout layout;
    layout.Width = 5;
    layout.Height = 3;
    layout.Sample = [](uint32_t x, uint32_t y, uint32_t c) { return (x + 3 * y + 7 * c) & 0xFF; };
    const std::string png = test::BuildPng(layout);
    DibImage image;
    ASSERT_TRUE(PictureFile::Load(Write("whole.png", png), image).Ok());
    const PictureLoad cut = PictureFile::Load(Write("cut.png", png.substr(0, png.size() - 1)), image);
    EXPECT_EQ(cut.Problem, LoadProblem::Truncated);
}

// Bytes behind a bitmap's last row are never read, however many there are.
TEST_F(PictureLimitsTest, BitmapTrailingBytesAreNotRead)
{
    bmptest::BmpLayout layout = bmptest::PatternLayout(1, 1, 24);
    const std::string path = Write("tail.bmp", bmptest::BuildBmp(layout));
    fs::resize_file(path, fs::file_size(path) + (uint64_t(1) << 30));
    DibImage image;
    ASSERT_TRUE(PictureFile::Load(path, image).Ok());
    EXPECT_EQ(image.PixelBytes(), 4u);
}

struct WrittenSize {
    const char* Name;
    uint32_t Width;
    uint32_t Height;
    uint16_t Bits;
};

// Every size a writer takes is one the readers take: the writers' check
// and the readers' builder agree at the limits, and a header declaring the
// size is refused by the readers only for lack of rows, never as too
// large.
TEST_F(PictureLimitsTest, EveryWrittenSizeIsReadBack)
{
    const std::vector<WrittenSize> cases = {
        { "widest row", limits::kMaxSide, 1, 32 },
        { "tallest column", 1, limits::kMaxSide, 24 },
        { "largest 24-bit square", 18918, 18918, 24 },
        { "largest 32-bit square", 16384, 16384, 32 },
        { "largest WebP side", limits::kMaxWebpSide, limits::kMaxWebpSide, 32 },
    };
    for (const WrittenSize& c : cases) {
        EXPECT_EQ(PictureFile::WriteProblem(PictureFormat::Png, c.Width, c.Height, c.Bits), "") << c.Name;
        EXPECT_EQ(PictureFile::WriteProblem(PictureFormat::Bmp, c.Width, c.Height, c.Bits), "") << c.Name;
        DibBuilder builder;
        EXPECT_TRUE(builder.Start(c.Width, c.Height, c.Bits)) << c.Name;
        DibImage image;
        const PictureLoad png
            = PictureFile::Load(Write("size.png", PngHeaderOnly(c.Width, c.Height, c.Bits == 32 ? 6 : 2)), image);
        EXPECT_EQ(png.Problem, LoadProblem::Truncated) << c.Name;
        const PictureLoad bmp
            = PictureFile::Load(Write("size.bmp", BmpHeaderOnly(int32_t(c.Width), int32_t(c.Height), c.Bits)), image);
        EXPECT_EQ(bmp.Problem, LoadProblem::Truncated) << c.Name;
    }
}

TEST_F(PictureLimitsTest, SizesBeyondTheLimitsAreNeitherWrittenNorRead)
{
    const std::vector<WrittenSize> cases = {
        { "side beyond the limit", limits::kMaxSide + 1, 1, 24 },
        { "24-bit square one pixel too wide", 18919, 18919, 24 },
        { "32-bit square one pixel too wide", 16385, 16385, 32 },
    };
    for (const WrittenSize& c : cases) {
        EXPECT_NE(PictureFile::WriteProblem(PictureFormat::Png, c.Width, c.Height, c.Bits), "") << c.Name;
        DibBuilder builder;
        EXPECT_FALSE(builder.Start(c.Width, c.Height, c.Bits)) << c.Name;
        DibImage image;
        const PictureLoad bmp
            = PictureFile::Load(Write("size.bmp", BmpHeaderOnly(int32_t(c.Width), int32_t(c.Height), c.Bits)), image);
        EXPECT_EQ(bmp.Problem, LoadProblem::TooLarge) << c.Name;
    }
}

TEST(PictureLimits, WebpWritesNoSideBeyondItsFormat)
{
    EXPECT_EQ(PictureFile::WriteProblem(PictureFormat::WebP, limits::kMaxWebpSide, 2, 24), "");
    const std::string problem = PictureFile::WriteProblem(PictureFormat::WebP, limits::kMaxWebpSide + 1, 2, 24);
    EXPECT_NE(problem.find(std::to_string(limits::kMaxWebpSide)), std::string::npos) << problem;
    DibImage wide;
    DibBuilder builder;
    ASSERT_TRUE(builder.Start(limits::kMaxWebpSide + 1, 2, 24));
    builder.Finish(wide);
    EXPECT_FALSE(PictureFile::Encode(PictureFormat::WebP, wide, {}));
    EXPECT_TRUE(PictureFile::Encode(PictureFormat::Png, wide, {}));
}

// Each orientation on a 3 x 2 picture whose pixels are numbered 0 to 5
// row by row from the top left; the upright picture's numbers, row by row.
struct OrientationCase {
    int Orientation;
    uint32_t Width;
    std::vector<uint8_t> Upright;
};

TEST(ExifOrientationTest, EachOrientationPlacesRowsUpright)
{
    const std::vector<OrientationCase> cases = {
        { 1, 3, { 0, 1, 2, 3, 4, 5 } },
        { 2, 3, { 2, 1, 0, 5, 4, 3 } },
        { 3, 3, { 5, 4, 3, 2, 1, 0 } },
        { 4, 3, { 3, 4, 5, 0, 1, 2 } },
        { 5, 2, { 0, 3, 1, 4, 2, 5 } },
        { 6, 2, { 3, 0, 4, 1, 5, 2 } },
        { 7, 2, { 5, 2, 4, 1, 3, 0 } },
        { 8, 2, { 2, 5, 1, 4, 0, 3 } },
    };
    for (const OrientationCase& c : cases) {
        const size_t stride = size_t(c.Width) * 3;
        std::vector<uint8_t> upright(6 * 3, 0xEE);
        std::vector<uint8_t> source;
        for (uint8_t number = 0; number < 6; ++number)
            source.insert(source.end(), 3, number);
        // The top row alone, then the bottom row as a band of one.
        const uint8_t* top[] = { source.data() };
        const uint8_t* bottom[] = { source.data() + 9 };
        ExifOrientation::PlaceRows(c.Orientation, top, 0, 1, 3, 2, upright.data(), stride);
        ExifOrientation::PlaceRows(c.Orientation, bottom, 1, 1, 3, 2, upright.data(), stride);
        std::vector<uint8_t> together(6 * 3, 0xEE);
        const uint8_t* both[] = { source.data(), source.data() + 9 };
        ExifOrientation::PlaceRows(c.Orientation, both, 0, 2, 3, 2, together.data(), stride);
        EXPECT_EQ(together, upright) << "orientation " << c.Orientation;
        std::vector<uint8_t> numbers;
        for (size_t i = 0; i < upright.size(); i += 3)
            numbers.push_back(upright[i]);
        EXPECT_EQ(numbers, c.Upright) << "orientation " << c.Orientation;
    }
}

} // namespace
} // namespace lumaquill
