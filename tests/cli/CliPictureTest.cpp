#include "cli/CliTestSupport.h"
#include "core/ByteOrder.h"
#include "image/PngFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using test::CliRun;
using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

std::string Fixture(const std::string& name)
{
    return std::string(LUMAQUILL_FIXTURES) + "/" + name;
}

uint32_t Sample(uint32_t x, uint32_t y, uint32_t c)
{
    return (x * 7 + y * 5 + c * 91 + x * y) & 0xFF;
}

struct PngCover {
    const char* Name;
    uint8_t ColourType;
    uint8_t BitDepth;
    bool Interlaced;
    std::vector<uint8_t> Trns;
};

// PNG covers of every kind, 101 x 67 so that rows are padded.
std::string BuildCover(const PngCover& cover)
{
    test::PngLayout png;
    png.Width = 101;
    png.Height = 67;
    png.ColourType = cover.ColourType;
    png.BitDepth = cover.BitDepth;
    png.Interlaced = cover.Interlaced;
    png.Trns = cover.Trns;
    const uint8_t depth = cover.BitDepth;
    const bool indexed = cover.ColourType == 3;
    if (indexed) {
        for (uint32_t i = 0; i < 16; ++i)
            png.Palette.insert(png.Palette.end(), { uint8_t(16 * i), uint8_t(255 - 9 * i), uint8_t(i * i) });
    }
    png.Sample = [depth, indexed](uint32_t x, uint32_t y, uint32_t c) {
        if (indexed)
            return (x ^ y) % 16;
        return depth == 16 ? Sample(x, y, c) << 8 | (x & 0xFF) : Sample(x, y, c);
    };
    return test::BuildPng(png);
}

class CliPictureTest : public ::testing::Test {
protected:
    CliRun Run(const std::vector<std::string>& args) { return RunCli(args, Dir.Path().string()); }

    // Encodes the cover into each written format and decodes each back.
    void RoundTrip(const std::string& cover, const std::string& label)
    {
        for (const char* out : { "out.png", "out.bmp", "out.webp", "OUT.PNG" }) {
            const std::string text = "hidden in " + label + " as " + out;
            CliRun encode = Run(
                { "encode", "--container", cover, "--out", out, "--force", "--text", text, "--password", "abcd" });
            ASSERT_EQ(encode.Status, 0) << label << " -> " << out << ": " << encode.Err;
            CliRun decode = Run({ "decode", out, "--password", "abcd" });
            EXPECT_EQ(decode.Status, 0) << label << " -> " << out << ": " << decode.Err;
            EXPECT_EQ(decode.Out, text) << label << " -> " << out;
        }
    }

    TempDir Dir;
};

TEST_F(CliPictureTest, EveryPngCoverRoundTripsThroughEveryOutput)
{
    const std::vector<PngCover> covers = {
        { "rgb", 2, 8, false, {} },
        { "rgba", 6, 8, false, {} },
        { "grey", 0, 8, false, {} },
        { "palette", 3, 4, false, {} },
        { "palette + tRNS", 3, 8, false, { 0, 90, 200 } },
        { "16-bit", 2, 16, false, {} },
        { "interlaced", 6, 16, true, {} },
    };
    for (const PngCover& cover : covers) {
        WriteFile(Dir / "cover.png", BuildCover(cover));
        RoundTrip("cover.png", cover.Name);
    }
}

TEST_F(CliPictureTest, CameraAndWebCoversRoundTrip)
{
    for (const char* name : { "cover.jpg", "rotated.jpg", "lossy.webp", "lossy_alpha.webp", "lossless.webp",
             "lossless_alpha.webp", "cover.heic", "cover.avif" })
        RoundTrip(Fixture(name), name);
}

// The RGB cover as a 24-bit BMP file: headers as every plain writer makes
// them, zero padding.
std::string CoverAsBmp()
{
    constexpr uint32_t kWidth = 101, kHeight = 67, kStride = 304;
    std::string bmp(54 + kStride * kHeight, '\0');
    auto* b = reinterpret_cast<uint8_t*>(bmp.data());
    b[0] = 'B', b[1] = 'M';
    Store32Le(b + 2, uint32_t(bmp.size()));
    Store32Le(b + 10, 54);
    Store32Le(b + 14, 40);
    Store32Le(b + 18, kWidth);
    Store32Le(b + 22, kHeight);
    Store16Le(b + 26, 1);
    Store16Le(b + 28, 24);
    Store32Le(b + 34, kStride * kHeight);
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            uint8_t* p = b + 54 + (kHeight - 1 - y) * kStride + 3 * x;
            p[0] = uint8_t(Sample(x, y, 2)), p[1] = uint8_t(Sample(x, y, 1)), p[2] = uint8_t(Sample(x, y, 0));
        }
    }
    return bmp;
}

// The same picture as a PNG and as a BMP cover gives byte-identical
// outputs in every format.
TEST_F(CliPictureTest, PngCoverEncodesAsItsBmp)
{
    WriteFile(Dir / "cover.png", BuildCover({ "rgb", 2, 8, false, {} }));
    WriteFile(Dir / "cover.bmp", CoverAsBmp());
    for (const char* format : { ".png", ".bmp", ".webp" }) {
        for (const char* cover : { "cover.png", "cover.bmp" }) {
            CliRun run = Run({ "encode", "--container", cover, "--out", std::string(cover) + format, "--text",
                "the same text", "--password", "same key" });
            ASSERT_EQ(run.Status, 0) << run.Err;
        }
        EXPECT_TRUE(
            ReadFile(Dir / (std::string("cover.png") + format)) == ReadFile(Dir / (std::string("cover.bmp") + format)))
            << format;
    }
}

// The saved picture keeps the cover's colour profile, also when shrunk, and
// none of its other metadata.
TEST_F(CliPictureTest, OutputKeepsTheColourProfileAndDropsOtherMetadata)
{
    test::PngLayout png;
    png.Width = 300;
    png.Height = 200;
    png.Sample = Sample;
    png.Extra.push_back({ "gAMA", { 0, 0, 0xB1, 0x8F } });
    png.Extra.push_back({ "tEXt", { 'G', 'P', 'S', 0, '4', '8', 'N' } });
    png.Extra.push_back({ "eXIf", { 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0 } });
    WriteFile(Dir / "cover.png", test::BuildPng(png));
    for (const std::vector<std::string>& extra : { std::vector<std::string> {}, { "--shrink" } }) {
        std::vector<std::string> args = { "encode", "--container", "cover.png", "--out", "o.png", "--force", "--text",
            "t", "--password", "abcd" };
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_EQ(Run(args).Status, 0);
        const std::string out = ReadFile(Dir / "o.png");
        EXPECT_NE(out.find("gAMA"), std::string::npos) << extra.size();
        EXPECT_EQ(out.find("tEXt"), std::string::npos) << extra.size();
        EXPECT_EQ(out.find("eXIf"), std::string::npos) << extra.size();
    }
}

struct Refusal {
    const char* Name;
    std::vector<std::string> Args;
    int Status;
    std::string Message;
};

TEST_F(CliPictureTest, RefusalsNameTheFileAndTheReason)
{
    const std::string png = BuildCover({ "rgb", 2, 8, false, {} });
    WriteFile(Dir / "cut.png", png.substr(0, png.size() / 2));
    WriteFile(Dir / "crc.png", test::WithBadCrc(png, "IDAT"));
    std::filesystem::create_directory(Dir / "folder.png");
    const std::vector<Refusal> cases = {
        { "missing", { "decode", "gone.png", "--password", "abcd" }, 1,
            "No container image selected. \"gone.png\": the file does not exist.\n" },
        { "folder", { "info", "folder.png" }, 1,
            "No container image selected. \"folder.png\": it is a folder, not a picture file.\n" },
        { "truncated", { "decode", "cut.png", "--password", "abcd" }, 1,
            "No container image selected. \"cut.png\": the PNG file is cut short.\n" },
        { "bad CRC", { "encode", "--container", "crc.png", "--out", "o.png", "--text", "t", "--password", "abcd" }, 1,
            "No container image selected. \"crc.png\": the PNG file is damaged (a checksum does not match).\n" },
        { "animated", { "info", Fixture("animated.webp") }, 1,
            "No container image selected. \"" + Fixture("animated.webp")
                + "\": animated or multi-page pictures cannot be used.\n" },
        { "CMYK", { "info", Fixture("cmyk.jpg") }, 1,
            "No container image selected. \"" + Fixture("cmyk.jpg")
                + "\": CMYK JPEG pictures cannot be used; save it as RGB first.\n" },
        { "lossy given to decode", { "decode", Fixture("lossy.webp"), "--password", "abcd" }, 1,
            "Cannot decode \"" + Fixture("lossy.webp")
                + "\": it is a lossy WebP picture; lossy formats cannot carry hidden data (any data was destroyed "
                  "when the picture was saved that way).\n" },
    };
    for (const Refusal& c : cases) {
        CliRun run = Run(c.Args);
        EXPECT_EQ(run.Status, c.Status) << c.Name;
        EXPECT_EQ(run.Err, c.Message) << c.Name;
    }
    EXPECT_FALSE(std::filesystem::exists(Dir / "o.png"));
}

TEST_F(CliPictureTest, OutputExtensionChoosesTheFormat)
{
    test::WriteBmp24(Dir / "c.bmp", 47, 33);
    for (const char* out : { "o.jpg", "o.JPEG", "o.heic", "o.avif" }) {
        CliRun run = Run({ "encode", "--container", "c.bmp", "--out", out, "--text", "t", "--password", "abcd" });
        EXPECT_EQ(run.Status, 2) << out;
        EXPECT_NE(run.Err.find("lossy formats (JPEG, HEIC, AVIF) destroy hidden data; give --out a .png, .bmp or "
                               ".webp name"),
            std::string::npos)
            << run.Err;
    }
    CliRun gif = Run({ "encode", "--container", "c.bmp", "--out", "o.gif", "--text", "t", "--password", "abcd" });
    EXPECT_EQ(gif.Status, 2);
    EXPECT_NE(gif.Err.find("give --out a .png, .bmp or .webp name"), std::string::npos) << gif.Err;
    const std::vector<std::pair<const char*, std::string>> signatures
        = { { "o.png", "\x89PNG" }, { "o.Bmp", "BM" }, { "o.WEBP", "RIFF" } };
    for (const auto& [out, signature] : signatures) {
        ASSERT_EQ(
            Run({ "encode", "--container", "c.bmp", "--out", out, "--text", "t", "--password", "abcd" }).Status, 0);
        EXPECT_EQ(ReadFile(Dir / out).substr(0, signature.size()), signature) << out;
    }
}

TEST_F(CliPictureTest, InfoStatesFormatAndBitDepth)
{
    WriteFile(Dir / "a.png", BuildCover({ "rgba", 6, 8, false, {} }));
    CliRun json = Run({ "info", "a.png", "--json" });
    ASSERT_EQ(json.Status, 0) << json.Err;
    EXPECT_NE(json.Out.find("\"format\": \"PNG\",\n  \"lossless\": true,\n  \"width\": 101,\n  \"height\": 67,\n"
                            "  \"bits_per_pixel\": 32,"),
        std::string::npos)
        << json.Out;
    CliRun text = Run({ "info", Fixture("cover.jpg") });
    ASSERT_EQ(text.Status, 0) << text.Err;
    EXPECT_NE(text.Out.find("Format: JPEG (lossy: it holds data only as a stealth JPEG)\nSize: 47 x 33 pixels\n"
                            "Bits per pixel: 24\n"),
        std::string::npos)
        << text.Out;
}

} // namespace
} // namespace lumaquill
