#include "image/JpegCoefficientFile.h"

#include "image/JpegQuality.h"
#include "support/JpegFixture.h"

#include <gtest/gtest.h>
#include <string>

namespace lumaquill {
namespace {

using test::Grey;
using test::JpegRecipe;
using test::Progressive;
using test::Recipe;
using test::Restarts;

struct RewriteCase {
    const char* Name;
    JpegRecipe Recipe;
    const char* Subsampling;
};

JpegRecipe Marked(JpegRecipe recipe, int orientation, unsigned iccBytes)
{
    recipe.Orientation = orientation;
    recipe.IccBytes = iccBytes;
    recipe.Comment = true;
    return recipe;
}

const RewriteCase kCases[] = {
    { "q50_420_baseline", Recipe(64, 64, 50, 2, 2), "4:2:0" },
    { "q75_422_progressive", Progressive(Recipe(131, 77, 75, 2, 1)), "4:2:2" },
    { "q90_444_restarts", Restarts(Recipe(100, 60, 90, 1, 1), 3), "4:4:4" },
    { "q95_grey_progressive", Progressive(Grey(Recipe(97, 65, 95, 1, 1))), "greyscale" },
    { "q75_420_odd_restarts_progressive", Restarts(Progressive(Recipe(203, 149, 75, 2, 2)), 5), "4:2:0" },
    { "q90_rotated_with_icc", Marked(Recipe(120, 80, 90, 2, 2), 6, 3000), "4:2:0" },
};

class JpegCoefficientFileTest : public testing::TestWithParam<RewriteCase> { };

JpegCoefficients ReadOrFail(const std::vector<uint8_t>& file)
{
    JpegCoefficients jpeg;
    std::string detail;
    EXPECT_EQ(JpegCoefficientFile::Read(file, jpeg, detail), LoadProblem::None) << detail;
    return jpeg;
}

TEST_P(JpegCoefficientFileTest, ReadsWhatTheEncoderWrote)
{
    const RewriteCase& c = GetParam();
    const JpegCoefficients jpeg = ReadOrFail(test::MakeJpeg(c.Recipe));
    EXPECT_EQ(jpeg.Width, c.Recipe.Width);
    EXPECT_EQ(jpeg.Height, c.Recipe.Height);
    EXPECT_EQ(jpeg.Progressive, c.Recipe.Progressive);
    EXPECT_EQ(jpeg.RestartInterval, c.Recipe.RestartInterval);
    EXPECT_EQ(jpeg.Orientation, c.Recipe.Orientation);
    EXPECT_EQ(jpeg.Icc, test::FixtureIcc(c.Recipe.IccBytes));
    EXPECT_EQ(jpeg.Subsampling(), c.Subsampling);
    ASSERT_FALSE(jpeg.Components.empty());
    EXPECT_EQ(jpeg.Components[0].Quantisation, JpegQuality::LuminanceTable(c.Recipe.Quality));
    EXPECT_EQ(JpegQuality::Estimate(jpeg.Components[0].Quantisation), c.Recipe.Quality);
    // The blocks cover the picture, luma at full resolution.
    EXPECT_EQ(jpeg.Components[0].WidthInBlocks, (c.Recipe.Width + 7) / 8);
    EXPECT_EQ(jpeg.Components[0].HeightInBlocks, (c.Recipe.Height + 7) / 8);
}

// The rewrite of unchanged coefficients keeps them, the tables, the
// sampling, the restart interval, the orientation and the ICC profile;
// drops the camera make and the comment; stays within 2% of the cover's
// size; and a second rewrite gives the same bytes.
TEST_P(JpegCoefficientFileTest, RewriteKeepsThePictureAndIsStable)
{
    const RewriteCase& c = GetParam();
    const std::vector<uint8_t> cover = test::MakeJpeg(c.Recipe);
    const JpegCoefficients before = ReadOrFail(cover);
    std::vector<uint8_t> once;
    ASSERT_TRUE(JpegCoefficientFile::Write(cover, before, once));
    const JpegCoefficients after = ReadOrFail(once);
    EXPECT_EQ(after.Values, before.Values);
    ASSERT_EQ(after.Components.size(), before.Components.size());
    for (size_t k = 0; k < after.Components.size(); ++k) {
        EXPECT_EQ(after.Components[k].Quantisation, before.Components[k].Quantisation);
        EXPECT_EQ(after.Components[k].HorizontalSampling, before.Components[k].HorizontalSampling);
        EXPECT_EQ(after.Components[k].VerticalSampling, before.Components[k].VerticalSampling);
    }
    EXPECT_EQ(after.Progressive, before.Progressive);
    EXPECT_EQ(after.RestartInterval, before.RestartInterval);
    EXPECT_EQ(after.Orientation, before.Orientation);
    EXPECT_EQ(after.Icc, before.Icc);
    EXPECT_FALSE(test::Contains(once, "TestCam"));
    EXPECT_FALSE(test::Contains(once, "test comment"));
    EXPECT_EQ(test::DecodeJpeg(once), test::DecodeJpeg(cover));
    const double growth = (double(once.size()) - double(cover.size())) / double(cover.size());
    EXPECT_LE(std::abs(growth), 0.02) << cover.size() << " -> " << once.size();
    std::vector<uint8_t> twice;
    ASSERT_TRUE(JpegCoefficientFile::Write(once, after, twice));
    EXPECT_EQ(twice, once);
}

INSTANTIATE_TEST_SUITE_P(Covers, JpegCoefficientFileTest, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<RewriteCase>& info) { return std::string(info.param.Name); });

TEST(JpegCoefficientFile, ChangedCoefficientsAreWritten)
{
    const std::vector<uint8_t> cover = test::MakeJpeg(Recipe(80, 48, 75, 2, 1));
    JpegCoefficients jpeg = ReadOrFail(cover);
    jpeg.Values[1] = static_cast<int16_t>(jpeg.Values[1] + 1);
    jpeg.Values[jpeg.Values.size() - 1] = static_cast<int16_t>(jpeg.Values.back() - 1);
    std::vector<uint8_t> out;
    ASSERT_TRUE(JpegCoefficientFile::Write(cover, jpeg, out));
    EXPECT_EQ(ReadOrFail(out).Values, jpeg.Values);
}

TEST(JpegCoefficientFile, UncodableCoefficientIsRefused)
{
    const std::vector<uint8_t> cover = test::MakeJpeg(Recipe(64, 64, 75, 2, 2));
    JpegCoefficients jpeg = ReadOrFail(cover);
    jpeg.Values[5] = 2047;
    std::vector<uint8_t> out;
    EXPECT_FALSE(JpegCoefficientFile::Write(cover, jpeg, out));
}

TEST(JpegCoefficientFile, OtherBlocksAreRefused)
{
    const std::vector<uint8_t> cover = test::MakeJpeg(Recipe(64, 64, 75, 2, 2));
    JpegCoefficients jpeg = ReadOrFail(test::MakeJpeg(Recipe(72, 64, 75, 2, 2)));
    std::vector<uint8_t> out;
    EXPECT_FALSE(JpegCoefficientFile::Write(cover, jpeg, out));
}

struct DamageCase {
    const char* Name;
    size_t Keep; // bytes kept of the cover; 0 keeps all and breaks the start
    LoadProblem Expected;
};

const DamageCase kDamage[] = {
    { "cut_in_the_scan", 600, LoadProblem::Truncated },
    { "cut_in_the_headers", 100, LoadProblem::Truncated },
    { "no_start_of_image", 0, LoadProblem::Damaged },
};

TEST(JpegCoefficientFile, DamagedFilesAreRefused)
{
    const std::vector<uint8_t> cover = test::MakeJpeg(Recipe(64, 64, 90, 2, 2));
    for (const DamageCase& c : kDamage) {
        std::vector<uint8_t> file = cover;
        if (c.Keep > 0)
            file.resize(c.Keep);
        else
            file[1] = 0x00;
        JpegCoefficients jpeg;
        std::string detail;
        EXPECT_EQ(JpegCoefficientFile::Read(file, jpeg, detail), c.Expected) << c.Name;
    }
}

TEST(JpegCoefficientFile, DeclaredSizeBeyondTheLimitsIsRefusedBeforeReading)
{
    std::vector<uint8_t> file = test::MakeJpeg(Recipe(64, 64, 75, 1, 1));
    // The frame header (FFC0, length, precision, height, width): 60000 x
    // 60000 is within libjpeg's largest side but beyond the pixel limit.
    for (size_t i = 0; i + 9 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = file[i + 7] = 0xEA;
            file[i + 6] = file[i + 8] = 0x60;
            break;
        }
    }
    JpegCoefficients jpeg;
    std::string detail;
    EXPECT_EQ(JpegCoefficientFile::Read(file, jpeg, detail), LoadProblem::TooLarge);
}

} // namespace
} // namespace lumaquill
