#include "cli/CliTestSupport.h"
#include "core/MessageText.h"
#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"
#include "stealth/JpegStealthCodec.h"
#include "support/JpegFixture.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using test::CliRun;
using test::ReadFile;
using test::WriteFile;

constexpr const char* kPassword = "correct horse";

std::string AsString(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> AsBytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// Each test in a folder of its own with photo.jpg (320 x 240, quality 90,
// 4:2:0) and the 24-bit c.bmp.
class CliStealthJpegTest : public test::CliFolderTest {
protected:
    void SetUp() override
    {
        CliFolderTest::SetUp();
        test::JpegRecipe recipe;
        recipe.Width = 320;
        recipe.Height = 240;
        recipe.Quality = 90;
        WriteFile(Dir / "photo.jpg", AsString(test::MakeJpeg(recipe)));
    }

    CliRun Encode(const std::string& cover, const std::string& out, std::vector<std::string> extra)
    {
        std::vector<std::string> args
            = { "encode", "--container", cover, "--out", out, "--stealth", "--password", kPassword };
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }
};

struct RoundTripCase {
    const char* Name;
    const char* Out;
    bool File;
};

constexpr RoundTripCase kRoundTrips[] = {
    { "TextToJpg", "s.jpg", false },
    { "FileToJpeg", "s.JPEG", true },
};

class CliStealthJpegRoundTrip : public CliStealthJpegTest, public testing::WithParamInterface<RoundTripCase> { };

// The output is a JPEG with the cover's tables that opens with the password.
TEST_P(CliStealthJpegRoundTrip, OpensWithThePasswordAlone)
{
    const RoundTripCase& c = GetParam();
    const std::string content = c.File ? test::Incompressible(60, 9) : "Meet at noon by the old mill.";
    if (c.File)
        WriteFile(Dir / "memo.txt", content);
    CliRun encode = Encode("photo.jpg", c.Out, { c.File ? "--file" : "--text", c.File ? "memo.txt" : content });
    ASSERT_EQ(encode.Status, 0) << encode.Err;
    EXPECT_EQ(encode.Err, "");
    JpegCoefficients cover;
    JpegCoefficients stego;
    std::string detail;
    ASSERT_EQ(JpegCoefficientFile::Read(AsBytes(ReadFile(Dir / "photo.jpg")), cover, detail), LoadProblem::None);
    ASSERT_EQ(JpegCoefficientFile::Read(AsBytes(ReadFile(Dir / c.Out)), stego, detail), LoadProblem::None);
    EXPECT_EQ(stego.Components[0].Quantisation, cover.Components[0].Quantisation);

    std::filesystem::create_directory(Dir / "got");
    CliRun decode = Run({ "decode", c.Out, "--password", kPassword, "--out-dir", "got" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    if (c.File)
        EXPECT_EQ(ReadFile(Dir / "got/memo.txt"), content);
    else
        EXPECT_EQ(decode.Out, content);
}

INSTANTIATE_TEST_SUITE_P(Outputs, CliStealthJpegRoundTrip, testing::ValuesIn(kRoundTrips),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.Name); });

struct RefusalCase {
    const char* Name;
    std::vector<std::string> Args;
    int Status;
    std::string Err;
};

// Each refused run writes nothing.
TEST_F(CliStealthJpegTest, JpegOutputsOnlyFromJpegCoversWithStealth)
{
    const RefusalCase cases[] = {
        { "NoStealth",
            { "encode", "--container", "photo.jpg", "--out", "s.jpg", "--text", "hi", "--password", kPassword }, 2,
            "lumaquill-cli encode: cannot write \"s.jpg\": lossy formats (JPEG, HEIC, AVIF) destroy hidden data; give "
            "--out a .png, .bmp or .webp name\n" },
        { "BitmapCover",
            { "encode", "--container", "c.bmp", "--out", "s.jpg", "--stealth", "--text", "hi", "--password",
                kPassword },
            1, std::string(message::kStealthJpegNeedsJpegCover) + "\n" },
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
TEST_F(CliStealthJpegTest, NothingOpenedSaysWhyAJpegHoldsNothing)
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

TEST_F(CliStealthJpegTest, InfoGivesQualitySubsamplingAndSizes)
{
    JpegCoefficients jpeg;
    std::string detail;
    ASSERT_EQ(JpegCoefficientFile::Read(AsBytes(ReadFile(Dir / "photo.jpg")), jpeg, detail), LoadProblem::None);
    const stealth::StealthSizes sizes = stealth::JpegStealthCodec::SizesFor(jpeg);
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
