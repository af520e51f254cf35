#include "image/BmpFixture.h"
#include "image/DibImage.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using namespace bmptest;

constexpr uint32_t kRedMask = 0x00FF0000;
constexpr uint32_t kGreenMask = 0x0000FF00;
constexpr uint32_t kBlueMask = 0x000000FF;
constexpr uint32_t kAlphaMask = 0xFF000000;

std::string Written(DibImage& image)
{
    std::ostringstream out(std::ios::out | std::ios::binary);
    image.Write(out);
    return out.str();
}

std::string Modified(BmpLayout layout, const std::function<void(BmpLayout&)>& change)
{
    change(layout);
    return BuildBmp(layout);
}

struct NamedFile {
    const char* Name;
    std::string Bytes;
};

// An OS/2 bitmap: 12-byte header with 16-bit width and height, planes and
// bits per pixel, then one 24-bit row of two pixels.
constexpr uint8_t kOs2Bitmap[] = {
    'B', 'M', 34, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, // file header
    12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 24, 0, // core header
    1, 2, 3, 4, 5, 6, 0, 0, // row
};
static_assert(sizeof kOs2Bitmap == 34);

std::vector<NamedFile> RefusedFiles()
{
    const BmpLayout good = PatternLayout(5, 4, 24);
    const std::string goodFile = BuildBmp(good);
    BmpLayout indexed = PatternLayout(5, 4, 8);
    indexed.Table = TableOf(256);
    indexed.Rows.assign(32, 0);
    const auto bitFields = [](uint16_t bits, std::vector<uint32_t> masks, uint32_t infoSize = 40) {
        return Modified(PatternLayout(5, 4, bits), [&](BmpLayout& s) {
            s.Compression = 3;
            s.InfoSize = infoSize;
            s.Masks = masks;
        });
    };
    return {
        { "an empty file", "" },
        { "a 13-byte file header", goodFile.substr(0, 13) },
        { "no BM signature", Modified(good, [](BmpLayout& s) { s.Signature[1] = 'A'; }) },
        { "the signature reversed", Modified(good, [](BmpLayout& s) { std::swap(s.Signature[0], s.Signature[1]); }) },
        { "an information header cut after its size", goodFile.substr(0, 18) },
        { "an information header cut at 39 bytes", goodFile.substr(0, 14 + 39) },
        { "an OS/2 12-byte header", std::string(std::begin(kOs2Bitmap), std::end(kOs2Bitmap)) },
        { "a 64-byte header", Modified(good, [](BmpLayout& s) { s.InfoSize = 64; }) },
        { "a 108-byte header cut short", Modified(good, [](BmpLayout& s) { s.InfoSize = 108; }).substr(0, 14 + 100) },
        { "a short colour table", BuildBmp(indexed).substr(0, 14 + 40 + 1020) },
        { "a colour table and no rows", BuildBmp(indexed).substr(0, 14 + 40 + 1024) },
        { "rows one byte short", goodFile.substr(0, goodFile.size() - 1) },
        { "no rows", Modified(good, [](BmpLayout& s) { s.Rows.clear(); }) },
        { "width 0", Modified(good, [](BmpLayout& s) { s.Width = 0; }) },
        { "height 0", Modified(good, [](BmpLayout& s) { s.Height = 0; }) },
        { "a negative width", Modified(good, [](BmpLayout& s) { s.Width = -5; }) },
        { "the most negative height", Modified(good, [](BmpLayout& s) { s.Height = INT_MIN; }) },
        { "width times bits beyond 32 bits", Modified(good, [](BmpLayout& s) { s.Width = INT_MAX; }) },
        { "huge width and height", Modified(good, [](BmpLayout& s) { s.Width = s.Height = 100000; }) },
        { "a huge top-down height", Modified(good, [](BmpLayout& s) { s.Height = -100000; }) },
        // 2^28 bytes a row times 16 rows is 2^32: 0 in 32-bit arithmetic.
        { "stride times height wrapping to 0",
            Modified(PatternLayout(5, 4, 32), [](BmpLayout& s) { s.Width = 1 << 26, s.Height = 16; }) },
        { "2 bits per pixel", Modified(good, [](BmpLayout& s) { s.BitCount = 2; }) },
        { "0 bits per pixel", Modified(good, [](BmpLayout& s) { s.BitCount = 0; }) },
        { "8-bit run-length encoding", Modified(indexed, [](BmpLayout& s) { s.Compression = 1; }) },
        { "4-bit run-length encoding",
            Modified(indexed,
                [](BmpLayout& s) {
                    s.BitCount = 4;
                    s.Compression = 2;
                    s.Table = TableOf(16);
                }) },
        { "embedded JPEG", Modified(good, [](BmpLayout& s) { s.Compression = 4; }) },
        { "embedded PNG", Modified(good, [](BmpLayout& s) { s.Compression = 5; }) },
        { "an unknown compression", Modified(good, [](BmpLayout& s) { s.Compression = 6; }) },
        { "bit fields on 24 bits", bitFields(24, { kRedMask, kGreenMask, kBlueMask }) },
        { "bit fields 5-6-5 on 16 bits", bitFields(16, { 0xF800, 0x07E0, 0x001F }) },
        { "bit fields 5-5-5 on 16 bits", bitFields(16, { 0x7C00, 0x03E0, 0x001F }) },
        { "bit fields with red and blue swapped", bitFields(32, { kBlueMask, kGreenMask, kRedMask }) },
        { "bit fields of 10 bits", bitFields(32, { 0x3FF00000, 0x000FFC00, 0x000003FF }) },
        { "bit-field masks cut short", bitFields(32, { kRedMask, kGreenMask }).substr(0, 14 + 40 + 8) },
        { "bit fields in a 108-byte header with an odd alpha mask",
            bitFields(32, { kRedMask, kGreenMask, kBlueMask, 0x0F000000 }, 108) },
        { "bit fields in a 124-byte header with odd masks", bitFields(32, { 0xFF, 0xFF00, 0xFF0000, 0 }, 124) },
        { "a pixel offset past the end of the file",
            Modified(good, [](BmpLayout& s) { s.PixelOffset = 14 + 40 + 80 + 1; }) },
        { "a pixel offset leaving too few bytes for the rows",
            Modified(good, [](BmpLayout& s) { s.PixelOffset = 14 + 40 + 1; }) },
    };
}

TEST(BmpReaderTest, RefusedFilesLeaveTheImageEmptyEvenAfterAGoodOne)
{
    const std::string goodFile = BuildBmp(PatternLayout(3, 2, 24));
    for (const NamedFile& refused : RefusedFiles()) {
        SCOPED_TRACE(refused.Name);
        DibImage image;
        std::istringstream good = StreamOf(goodFile);
        ASSERT_EQ(image.Read(good), goodFile.size());
        std::istringstream stream = StreamOf(refused.Bytes);
        EXPECT_EQ(image.Read(stream), 0u);
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(image.Width(), 0);
        EXPECT_EQ(image.Height(), 0);
        EXPECT_EQ(image.BitCount(), 0);
        EXPECT_TRUE(image.InfoHeader().empty());
        EXPECT_EQ(image.PixelBytes(), 0u);
        EXPECT_TRUE(image.Palette().empty());
        EXPECT_TRUE(Written(image).empty());
    }
}

// Each variant holds the same picture as the plain 40-byte bottom-up file
// of its bit count and must be read into exactly that image.
struct Variant {
    const char* Name;
    uint16_t Bits;
    std::function<void(BmpLayout&)> Change;
};

void TopDown(BmpLayout& s)
{
    s.Height = -s.Height;
    s.Rows = PatternRows(s.Width, -s.Height, s.BitCount, true);
}

std::vector<Variant> ConvertedVariants()
{
    const std::vector<uint32_t> plainMasks = { kRedMask, kGreenMask, kBlueMask };
    return {
        { "a 108-byte header", 24, [](BmpLayout& s) { s.InfoSize = 108; } },
        { "a 124-byte header", 32, [](BmpLayout& s) { s.InfoSize = 124; } },
        { "top-down rows", 24, TopDown },
        { "top-down rows of 32 bits", 32, TopDown },
        { "top-down rows behind a 124-byte header", 24,
            [](BmpLayout& s) {
                s.InfoSize = 124;
                TopDown(s);
            } },
        { "bit fields behind a 40-byte header", 32,
            [plainMasks](BmpLayout& s) {
                s.Compression = 3;
                s.Masks = plainMasks;
            } },
        { "bit fields in a 108-byte header", 32,
            [](BmpLayout& s) {
                s.Compression = 3;
                s.InfoSize = 108;
                s.Masks = { kRedMask, kGreenMask, kBlueMask, 0 };
            } },
        { "top-down bit fields with alpha in a 124-byte header", 32,
            [](BmpLayout& s) {
                s.Compression = 3;
                s.InfoSize = 124;
                s.Masks = { kRedMask, kGreenMask, kBlueMask, kAlphaMask };
                TopDown(s);
            } },
        { "a gap before the rows", 24, [](BmpLayout& s) { s.Gap = 6; } },
        { "bit fields and a gap", 32,
            [plainMasks](BmpLayout& s) {
                s.Compression = 3;
                s.Masks = plainMasks;
                s.Gap = 4;
            } },
        { "a pixel offset inside the information header", 24, [](BmpLayout& s) { s.PixelOffset = 20; } },
        { "a pixel offset of 0", 24, [](BmpLayout& s) { s.PixelOffset = 0; } },
    };
}

TEST(BmpReaderTest, LongerHeadersTopDownRowsAndBitFieldsBecomeThePlainForm)
{
    for (const Variant& variant : ConvertedVariants()) {
        SCOPED_TRACE(variant.Name);
        const BmpLayout plain = PatternLayout(5, 4, variant.Bits);
        DibImage expected;
        std::istringstream plainStream = StreamOf(BuildBmp(plain));
        ASSERT_NE(expected.Read(plainStream), 0u);

        BmpLayout layout = plain;
        variant.Change(layout);
        const std::string file = BuildBmp(layout);
        DibImage image;
        std::istringstream stream = StreamOf(file);
        ASSERT_EQ(image.Read(stream), file.size());
        EXPECT_EQ(image.InfoHeader(), expected.InfoHeader());
        EXPECT_EQ(image.Compression(), 0u);
        EXPECT_EQ(image.Height(), 4);
        EXPECT_EQ(image.PixelBytes(), expected.PixelBytes());
        EXPECT_EQ(image.GetPixel(4, 1), expected.GetPixel(4, 1));
        EXPECT_EQ(Written(image), Written(expected));
    }
}

TEST(BmpReaderTest, AColourTableBehindALongerHeaderIsKept)
{
    BmpLayout layout;
    layout.InfoSize = 124;
    layout.BitCount = 8;
    layout.Width = 3;
    layout.Height = 1;
    layout.ColorsUsed = 4;
    layout.Table = TableOf(4);
    layout.Rows = { 3, 0, 1, 0 };
    DibImage image;
    std::istringstream stream = StreamOf(BuildBmp(layout));
    ASSERT_NE(image.Read(stream), 0u);
    EXPECT_EQ(image.InfoHeader().size(), 40u + 16);
    EXPECT_EQ(image.GetPixel(0, 1), TableEntryColour(3));
    EXPECT_EQ(image.GetPixel(2, 1), TableEntryColour(1));
}

TEST(BmpReaderTest, BytesBehindTopDownRowsAreNotRead)
{
    BmpLayout layout = PatternLayout(5, 4, 24);
    TopDown(layout);
    layout.Rows.insert(layout.Rows.end(), { 9, 8, 7 });
    DibImage image;
    std::istringstream stream = StreamOf(BuildBmp(layout));
    ASSERT_NE(image.Read(stream), 0u);
    EXPECT_EQ(image.Pixels(), PatternRows(5, 4, 24));
}

TEST(BmpReaderTest, BytesBetweenTheHeaderAndAPixelOffsetAreSkipped)
{
    BmpLayout layout = PatternLayout(5, 4, 24);
    layout.Gap = 10;
    DibImage image;
    std::istringstream stream = StreamOf(BuildBmp(layout));
    ASSERT_NE(image.Read(stream), 0u);
    EXPECT_EQ(image.PixelBytes(), 64u);
    EXPECT_EQ(image.Pixels(), layout.Rows);
}

TEST(BmpReaderTest, ReadingStartsAtTheBeginningOfTheStream)
{
    const std::string file = BuildBmp(PatternLayout(5, 4, 24));
    std::istringstream stream = StreamOf(file);
    stream.seekg(0, std::ios::end);
    stream.get();
    DibImage image;
    EXPECT_EQ(image.Read(stream), file.size());
    EXPECT_TRUE(image.IsValid());
}

} // namespace
} // namespace lumaquill
