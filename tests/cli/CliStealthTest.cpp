#include "cli/CliTestSupport.h"
#include "core/MessageText.h"
#include "flows/StealthMessages.h"
#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"
#include "image/PngFixture.h"
#include "stealth/JpegStealthCodec.h"
#include "stealth/StealthSizes.h"
#include "support/JpegFixture.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using test::CliRun;
using test::ReadFile;
using test::WriteFile;

constexpr const char* kNothingDecoded = "Could not decode any useful information from this image.\n";
constexpr const char* kPassword = "correct horse";

std::string AsString(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> AsBytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string Fixture(const std::string& name)
{
    return std::string(LUMAQUILL_FIXTURES) + "/" + name;
}

// A 32-bit cover: RGBA with a texture of its own and a varying alpha.
std::string RgbaPng(uint32_t width, uint32_t height)
{
    test::PngLayout png;
    png.Width = width;
    png.Height = height;
    png.ColourType = 6;
    png.Sample = [](uint32_t x, uint32_t y, uint32_t c) {
        return c == 3 ? (x + y) & 0xFF : (x * x * 3 + y * 7 + c * 50 + ((x * 13 ^ y * 29) & 15)) & 0xFF;
    };
    return test::BuildPng(png);
}

JpegCoefficients ReadJpeg(const std::string& path)
{
    JpegCoefficients jpeg;
    std::string detail;
    EXPECT_EQ(JpegCoefficientFile::Read(AsBytes(ReadFile(path)), jpeg, detail), LoadProblem::None) << path;
    return jpeg;
}

// Each test in a folder of its own with the 24-bit photo.bmp (300 x 200),
// the 32-bit rgba.png (200 x 150) and photo.jpg (320 x 240, quality 90,
// 4:2:0).
class CliStealthTest : public test::CliFolderTest {
protected:
    void SetUp() override
    {
        CliFolderTest::SetUp();
        test::WriteBmp24(Dir / "photo.bmp", 300, 200);
        WriteFile(Dir / "rgba.png", RgbaPng(200, 150));
        WriteFile(Dir / "photo.jpg", AsString(test::MakeJpeg(test::Recipe(320, 240, 90, 2, 2))));
    }

    CliRun Encode(const std::string& cover, const std::string& out, std::vector<std::string> extra)
    {
        std::vector<std::string> args
            = { "encode", "--container", cover, "--out", out, "--stealth", "--password", kPassword };
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    // A file of incompressible bytes whose compressed stream and stored
    // name together take payloadBytes.
    std::string FileOfPayload(uint64_t payloadBytes)
    {
        const std::string name = "data.bin";
        WriteFile(Dir / name, test::Incompressible(payloadBytes - name.size() - 11, 3));
        return name;
    }
};

struct RoundTripCase {
    const char* Name;
    const char* Cover;
    const char* Out;
    bool File;
    // --seal as well, which a stealth image implies.
    bool Seal;
};

// Both depths into every written format, texts and files; a JPEG into a
// JPEG.
constexpr RoundTripCase kRoundTrips[] = {
    { "TextBmpToPng", "photo.bmp", "s.png", false, false },
    { "FileBmpToBmp", "photo.bmp", "s.bmp", true, false },
    { "TextBmpToWebp", "photo.bmp", "s.webp", false, true },
    { "FileRgbaToWebp", "rgba.png", "s.webp", true, false },
    { "TextRgbaToBmp", "rgba.png", "s.bmp", false, false },
    { "FileRgbaToPng", "rgba.png", "s.png", true, true },
    { "TextJpegToJpg", "photo.jpg", "s.jpg", false, false },
    { "FileJpegToJpeg", "photo.jpg", "s.JPEG", true, true },
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.Name;
}

class CliStealthRoundTrip : public CliStealthTest, public testing::WithParamInterface<RoundTripCase> { };

TEST_P(CliStealthRoundTrip, OpensWithThePasswordAlone)
{
    const RoundTripCase& c = GetParam();
    const std::string content = c.File ? test::Incompressible(60, 9) : "Meet at noon by the old mill.";
    std::vector<std::string> extra = { c.File ? "--file" : "--text", c.File ? "memo.txt" : content };
    if (c.File)
        WriteFile(Dir / "memo.txt", content);
    if (c.Seal)
        extra.push_back("--seal");
    CliRun encode = Encode(c.Cover, c.Out, extra);
    ASSERT_EQ(encode.Status, 0) << encode.Err;
    EXPECT_EQ(encode.Err, "");
    // A stealth JPEG keeps the cover's tables.
    if (std::string(c.Cover) == "photo.jpg") {
        EXPECT_EQ(ReadJpeg(Dir / c.Out).Components[0].Quantisation, ReadJpeg(Dir / c.Cover).Components[0].Quantisation);
    }

    std::filesystem::create_directory(Dir / "got");
    CliRun decode = Run({ "decode", c.Out, "--password", kPassword, "--out-dir", "got" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    if (c.File)
        EXPECT_EQ(ReadFile(Dir / "got/memo.txt"), content);
    else
        EXPECT_EQ(decode.Out, content);
}

INSTANTIATE_TEST_SUITE_P(DepthsAndFormats, CliStealthRoundTrip, testing::ValuesIn(kRoundTrips),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.Name); });

struct UsageCase {
    const char* Name;
    // The cover and the output: a stealth image, or a stealth JPEG.
    const char* Container;
    const char* Out;
    std::vector<std::string> Extra;
    const char* Problem;
};

// Refused before anything is read, with the usage, whichever carrier the
// cover would make.
const UsageCase kUsageErrors[] = {
    { "Quiz", "photo.bmp", "s.png", { "--text", "t", "--quiz", "Q?", "H", "A" }, "--stealth protects a password only" },
    { "Noise", "photo.bmp", "s.png", { "--text", "t", "--password", "abcd", "--noise" }, "--stealth needs a photo" },
    { "Shrink", "photo.bmp", "s.png", { "--text", "t", "--password", "abcd", "--shrink" },
        "--stealth keeps the photo at its full size" },
    { "Speed", "photo.bmp", "s.png", { "--text", "t", "--password", "abcd", "--speed", "2" },
        "--speed does not apply to --stealth" },
    { "JpegQuiz", "photo.jpg", "s.jpg", { "--text", "t", "--quiz", "Q?", "H", "A" },
        "--stealth protects a password only" },
    { "JpegNoise", "photo.jpg", "s.jpg", { "--text", "t", "--password", "abcd", "--noise" },
        "--stealth needs a photo" },
    { "JpegShrink", "photo.jpg", "s.jpg", { "--text", "t", "--password", "abcd", "--shrink" },
        "--stealth keeps the photo at its full size" },
    { "JpegSpeed", "photo.jpg", "s.jpg", { "--text", "t", "--password", "abcd", "--speed", "2" },
        "--speed does not apply to --stealth" },
};

void PrintTo(const UsageCase& c, std::ostream* os)
{
    *os << c.Name;
}

class CliStealthUsage : public CliStealthTest, public testing::WithParamInterface<UsageCase> { };

TEST_P(CliStealthUsage, IsAUsageError)
{
    const UsageCase& c = GetParam();
    std::vector<std::string> args = { "encode", "--container", c.Container, "--out", c.Out, "--stealth" };
    args.insert(args.end(), c.Extra.begin(), c.Extra.end());
    CliRun run = Run(args);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err.rfind(std::string("lumaquill-cli encode: ") + c.Problem, 0), 0u) << run.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir / c.Out));
}

INSTANTIATE_TEST_SUITE_P(EachConflict, CliStealthUsage, testing::ValuesIn(kUsageErrors),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.Name); });

// A wrong password and a changed image say what they always say.
TEST_F(CliStealthTest, WrongPasswordAndChangedImageDecodeNothing)
{
    ASSERT_EQ(Encode("photo.bmp", "s.bmp", { "--text", "a few words" }).Status, 0);
    std::string changed = ReadFile(Dir / "s.bmp");
    // A row of samples in the middle of the picture (54-byte headers, rows of 900 bytes).
    for (size_t at = 54 + 100 * 900; at < 54 + 101 * 900; ++at)
        changed[at] = static_cast<char>(changed[at] ^ 1);
    WriteFile(Dir / "changed.bmp", changed);
    for (const auto& [image, password] : std::vector<std::pair<const char*, const char*>> {
             { "s.bmp", "correct horsE" }, { "changed.bmp", kPassword } }) {
        CliRun run = Run({ "decode", image, "--password", password });
        EXPECT_EQ(run.Status, 1) << image;
        EXPECT_EQ(run.Out, "") << image;
        EXPECT_EQ(run.Err, kNothingDecoded) << image;
    }
    EXPECT_EQ(Run({ "decode", "s.bmp", "--password", kPassword }).Out, "a few words");
}

TEST_F(CliStealthTest, LossyCoversAreRefused)
{
    for (const auto& [fixture, format] : std::vector<std::pair<const char*, const char*>> {
             { "cover.jpg", "JPEG" }, { "lossy.webp", "WebP" }, { "cover.heic", "HEIC" }, { "cover.avif", "AVIF" } }) {
        CliRun run = Encode(Fixture(fixture), "s.png", { "--text", "t" });
        EXPECT_EQ(run.Status, 1) << fixture;
        EXPECT_EQ(run.Err, StealthMessages::LossyCover(format) + "\n");
        EXPECT_FALSE(std::filesystem::exists(Dir / "s.png"));
    }
}

// Above the safe size: written, with the warning on standard error; above
// the largest: refused with both sizes.
TEST_F(CliStealthTest, SizesWarnThenRefuse)
{
    const stealth::StealthSizes sizes = stealth::SizesFor(300, 200);
    ASSERT_GT(sizes.Safe, 40u);
    CliRun above = Encode("photo.bmp", "above.png", { "--file", FileOfPayload(sizes.Safe + 1) });
    EXPECT_EQ(above.Status, 0) << above.Err;
    EXPECT_EQ(above.Err.rfind("Warning: ", 0), 0u) << above.Err;
    EXPECT_NE(above.Err.find("becomes detectable"), std::string::npos) << above.Err;
    CliRun back = Run({ "decode", "above.png", "--password", kPassword, "--out", "back.bin" });
    EXPECT_EQ(back.Status, 0) << back.Err;
    EXPECT_EQ(ReadFile(Dir / "back.bin"), ReadFile(Dir / "data.bin"));

    CliRun refused = Encode("photo.bmp", "refused.png", { "--file", FileOfPayload(sizes.Largest + 1), "--force" });
    EXPECT_EQ(refused.Status, 1);
    for (const uint64_t figure : { sizes.Largest + 1, sizes.Largest, sizes.Safe })
        EXPECT_NE(refused.Err.find(std::to_string(figure) + " bytes"), std::string::npos) << refused.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir / "refused.png"));
}

TEST_F(CliStealthTest, InfoGivesBothSizesAndCannotTell)
{
    const stealth::StealthSizes sizes = stealth::SizesFor(300, 200);
    ASSERT_EQ(Encode("photo.bmp", "s.png", { "--text", "t" }).Status, 0);
    CliRun text = Run({ "info", "s.png" });
    EXPECT_EQ(text.Status, 0) << text.Err;
    EXPECT_NE(text.Out.find("Stealth sizes in bytes (compressed, with the file's name):\n  safe: "
                  + std::to_string(sizes.Safe) + " (detectors stay near chance)\n  largest: "
                  + std::to_string(sizes.Largest) + " (detectable above the safe size)\n"),
        std::string::npos)
        << text.Out;
    EXPECT_NE(text.Out.find("Sealed: unknown until opened\nStealth: unknown until opened\n"), std::string::npos)
        << text.Out;

    CliRun json = Run({ "info", "s.png", "--json" });
    EXPECT_NE(json.Out.find("  \"stealth_safe_size\": " + std::to_string(sizes.Safe)
                  + ",\n  \"stealth_largest_size\": " + std::to_string(sizes.Largest) + ",\n"),
        std::string::npos)
        << json.Out;
    EXPECT_NE(json.Out.find("  \"stealth\": \"unknown until opened\"\n}\n"), std::string::npos) << json.Out;

    // A JPEG gives the sizes of a stealth JPEG instead (InfoGivesQualitySubsamplingAndSizes).
    CliRun lossy = Run({ "info", Fixture("lossy.webp"), "--json" });
    EXPECT_NE(lossy.Out.find("  \"stealth_safe_size\": null,\n  \"stealth_largest_size\": null,\n"), std::string::npos)
        << lossy.Out;
}

struct RefusalCase {
    const char* Name;
    std::vector<std::string> Args;
    int Status;
    std::string Err;
};

// Each refused run writes nothing.
TEST_F(CliStealthTest, JpegOutputsOnlyFromJpegCoversWithStealth)
{
    const RefusalCase cases[] = {
        { "NoStealth",
            { "encode", "--container", "photo.jpg", "--out", "s.jpg", "--text", "hi", "--password", kPassword }, 2,
            "lumaquill-cli encode: cannot write \"s.jpg\": lossy formats (JPEG, HEIC, AVIF) destroy hidden data; give "
            "--out a .png, .bmp or .webp name\n" },
        { "BitmapCover",
            { "encode", "--container", "c.bmp", "--out", "s.jpg", "--stealth", "--text", "hi", "--password",
                kPassword },
            1, StealthMessages::JpegNeedsJpegCover() + "\n" },
    };
    for (const RefusalCase& c : cases) {
        CliRun run = Run(c.Args);
        EXPECT_EQ(run.Status, c.Status) << c.Name;
        EXPECT_EQ(run.Err.substr(0, c.Err.size()), c.Err) << c.Name << ": " << run.Err;
        EXPECT_FALSE(std::filesystem::exists(Dir / "s.jpg")) << c.Name;
    }
}

// An untouched JPEG, a wrong password and a recompressed stealth JPEG all
// get the message that says how a JPEG keeps its data.
TEST_F(CliStealthTest, NothingOpenedSaysWhyAJpegHoldsNothing)
{
    ASSERT_EQ(Encode("photo.jpg", "s.jpg", { "--text", "hi" }).Status, 0);
    WriteFile(Dir / "sent.jpg", AsString(test::RecompressJpeg(AsBytes(ReadFile(Dir / "s.jpg")), 90)));
    const std::string expected = std::string(message::kStealthJpegNotOpened) + "\n";
    const std::vector<std::vector<std::string>> runs = {
        { "decode", "photo.jpg", "--password", kPassword },
        { "decode", "s.jpg", "--password", "wrong horse" },
        { "decode", "sent.jpg", "--password", kPassword },
    };
    for (const std::vector<std::string>& args : runs) {
        CliRun run = Run(args);
        EXPECT_EQ(run.Status, 1) << args[1];
        EXPECT_EQ(run.Err, expected) << args[1];
    }
}

TEST_F(CliStealthTest, InfoGivesQualitySubsamplingAndSizes)
{
    const stealth::StealthSizes sizes = stealth::JpegStealthCodec::SizesFor(ReadJpeg(Dir / "photo.jpg"));
    CliRun text = Run({ "info", "photo.jpg" });
    ASSERT_EQ(text.Status, 0) << text.Err;
    EXPECT_NE(text.Out.find("JPEG quality: about 90 (from its luminance table)\nChroma subsampling: 4:2:0\n"
                            "Stealth JPEG sizes in bytes (compressed, with the file's name):\n  safe: "
                  + std::to_string(sizes.Safe)),
        std::string::npos)
        << text.Out;
    CliRun json = Run({ "info", "--json", "photo.jpg" });
    EXPECT_NE(
        json.Out.find("  \"stealth_safe_size\": " + std::to_string(sizes.Safe) + ",\n" + "  \"stealth_largest_size\": "
            + std::to_string(sizes.Largest) + ",\n" + "  \"jpeg_quality\": 90,\n  \"jpeg_subsampling\": \"4:2:0\",\n"),
        std::string::npos)
        << json.Out;
}

} // namespace
} // namespace lumaquill
