#include "stealth/JpegStealthCodec.h"

#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"
#include "stealth/ElementPlan.h"
#include "support/JpegFixture.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace lumaquill::stealth {
namespace {

using test::Grey;
using test::JpegRecipe;
using test::Progressive;
using test::Recipe;
using test::Restarts;

const SecretBytes& Password()
{
    static const SecretBytes password(std::string_view("correct horse"));
    return password;
}

JpegCoefficients ReadOrFail(const std::vector<uint8_t>& file)
{
    JpegCoefficients jpeg;
    std::string detail;
    EXPECT_EQ(JpegCoefficientFile::Read(file, jpeg, detail), LoadProblem::None) << detail;
    return jpeg;
}

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes)
        byte = uint8_t(random());
    return bytes;
}

struct RoundTripCase {
    const char* Name;
    JpegRecipe Recipe;
};

JpegRecipe Rotated(JpegRecipe recipe, int orientation)
{
    recipe.Orientation = orientation;
    recipe.IccBytes = 700;
    return recipe;
}

const RoundTripCase kCases[] = {
    { "q50_420_64x64", Recipe(64, 64, 50, 2, 2) },
    { "q75_420_baseline", Recipe(256, 192, 75, 2, 2) },
    { "q75_420_progressive", Progressive(Recipe(256, 192, 75, 2, 2)) },
    { "q90_422_baseline", Recipe(203, 151, 90, 2, 1) },
    { "q95_444_progressive", Progressive(Recipe(160, 120, 95, 1, 1)) },
    { "q95_422_progressive_odd", Progressive(Recipe(129, 97, 95, 2, 1)) },
    { "q75_grey_96x96", Grey(Recipe(96, 96, 75, 1, 1)) },
    { "q90_grey_progressive", Grey(Progressive(Recipe(300, 200, 90, 1, 1))) },
    { "q75_444_restarts", Restarts(Recipe(200, 136, 75, 1, 1), 4) },
    { "q90_420_restarts_progressive", Restarts(Progressive(Recipe(333, 257, 90, 2, 2)), 7) },
    { "q75_rotated_with_icc", Rotated(Recipe(240, 160, 75, 2, 2), 8) },
};

class JpegStealthRoundTrip : public testing::TestWithParam<RoundTripCase> { };

// Round trip at the largest size (the most the codes must carry) with a
// stored name; every coefficient moved by at most 1; the file keeps the
// cover's tables, sampling, restarts, progression and orientation, its
// size within 2%, and a rewrite of its own coefficients gives its bytes.
TEST_P(JpegStealthRoundTrip, OpensWhatItHid)
{
    const RoundTripCase& c = GetParam();
    const std::vector<uint8_t> cover = test::MakeJpeg(c.Recipe);
    const JpegCoefficients before = ReadOrFail(cover);
    const StealthSizes sizes = JpegStealthCodec::SizesFor(before);
    ASSERT_GT(sizes.Largest, 8u);
    const std::string name = "note.txt";
    const std::vector<uint8_t> content = RandomBytes(sizes.Largest - name.size(), c.Recipe.Seed);
    std::vector<uint8_t> stego;
    ASSERT_EQ(JpegStealthCodec::HideFile(cover, Password(), content, name, stego, nullptr), StealthStatus::Done);

    std::vector<uint8_t> opened;
    std::string openedName;
    ASSERT_EQ(JpegStealthCodec::OpenFile(stego, Password(), opened, openedName, nullptr), StealthStatus::Done);
    EXPECT_EQ(opened, content);
    EXPECT_EQ(openedName, name);

    const JpegCoefficients after = ReadOrFail(stego);
    ASSERT_EQ(after.Values.size(), before.Values.size());
    size_t changes = 0;
    for (size_t e = 0; e < after.Values.size(); ++e) {
        ASSERT_LE(std::abs(after.Values[e] - before.Values[e]), 1) << e;
        changes += after.Values[e] != before.Values[e];
    }
    EXPECT_GT(changes, 0u);
    for (size_t k = 0; k < after.Components.size(); ++k)
        EXPECT_EQ(after.Components[k].Quantisation, before.Components[k].Quantisation);
    EXPECT_EQ(after.Subsampling(), before.Subsampling());
    EXPECT_EQ(after.RestartInterval, before.RestartInterval);
    EXPECT_EQ(after.Progressive, before.Progressive);
    EXPECT_EQ(after.Orientation, before.Orientation);
    EXPECT_EQ(after.Icc, before.Icc);
    std::vector<uint8_t> rewritten;
    ASSERT_TRUE(JpegCoefficientFile::Write(stego, after, rewritten));
    EXPECT_EQ(rewritten, stego);
    const double growth = (double(stego.size()) - double(cover.size())) / double(cover.size());
    // Small pictures carry a larger share of fixed headers and tables.
    if (c.Recipe.Width * c.Recipe.Height >= 200 * 120) {
        EXPECT_LE(std::abs(growth), 0.02) << cover.size() << " -> " << stego.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Covers, JpegStealthRoundTrip, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.Name); });

struct FailureCase {
    const char* Name;
    // Changes the stego file's coefficients, or leaves them.
    void (*Change)(JpegCoefficients&);
    const char* Password;
};

void NoChange(JpegCoefficients&)
{
}

// One coefficient in every 97 moved by 1: what a careless edit does.
void Tamper(JpegCoefficients& jpeg)
{
    for (size_t e = 1; e < jpeg.Values.size(); e += 97)
        jpeg.Values[e] = static_cast<int16_t>(jpeg.Values[e] == 0 ? 1 : jpeg.Values[e] - 1);
}

// The lowest bit of every coefficient cleared: nothing left to read.
void Flatten(JpegCoefficients& jpeg)
{
    for (int16_t& value : jpeg.Values)
        value = static_cast<int16_t>(value & ~1);
}

const FailureCase kFailures[] = {
    { "wrong_password", NoChange, "correct horsf" },
    { "tampered", Tamper, "correct horse" },
    { "flattened", Flatten, "correct horse" },
};

TEST(JpegStealthCodec, WrongPasswordAndChangedFilesAreNotOpened)
{
    const std::vector<uint8_t> cover = test::MakeJpeg(Recipe(200, 160, 75, 2, 2));
    std::vector<uint8_t> stego;
    ASSERT_EQ(
        JpegStealthCodec::HideFile(cover, Password(), RandomBytes(60, 7), "a", stego, nullptr), StealthStatus::Done);
    for (const FailureCase& c : kFailures) {
        JpegCoefficients jpeg = ReadOrFail(stego);
        c.Change(jpeg);
        std::vector<uint8_t> content;
        std::string name;
        EXPECT_EQ(JpegStealthCodec::Open(jpeg, SecretBytes(std::string_view(c.Password)), content, name, nullptr),
            StealthStatus::NotOpened)
            << c.Name;
    }
}

TEST(JpegStealthCodec, UntouchedCoverAndOtherFilesAreNotOpened)
{
    const std::vector<uint8_t> cover = test::MakeJpeg(Recipe(200, 160, 75, 2, 2));
    const std::vector<uint8_t> notJpeg(500, 0x42);
    for (const std::vector<uint8_t>* file : { &cover, &notJpeg }) {
        std::vector<uint8_t> content;
        std::string name;
        EXPECT_EQ(JpegStealthCodec::OpenFile(*file, Password(), content, name, nullptr), StealthStatus::NotOpened);
    }
}

TEST(JpegStealthCodec, SizesCountNonZeroAcCoefficients)
{
    const JpegCoefficients jpeg = ReadOrFail(test::MakeJpeg(Recipe(320, 240, 75, 2, 2)));
    const uint64_t nonZero = jpeg.NonZeroAc();
    const StealthSizes sizes = JpegStealthCodec::SizesFor(jpeg);
    // 0.05 and 0.4 bits per non-zero AC coefficient, less the 17 bytes of
    // tag and name length.
    EXPECT_EQ(sizes.Safe, nonZero / 20 / 8 - 17);
    EXPECT_EQ(sizes.Largest, nonZero * 2 / 5 / 8 - 17);
}

TEST(JpegStealthCodec, RefusesWhatDoesNotFit)
{
    const std::vector<uint8_t> cover = test::MakeJpeg(Recipe(160, 120, 75, 2, 2));
    const StealthSizes sizes = JpegStealthCodec::SizesFor(ReadOrFail(cover));
    std::vector<uint8_t> out;
    EXPECT_EQ(JpegStealthCodec::HideFile(cover, Password(), RandomBytes(sizes.Largest, 1), "x", out, nullptr),
        StealthStatus::TooLarge);
    // A 64 x 64 greyscale picture has 4096 coefficients: too few for the
    // salt and length codes.
    JpegRecipe tiny = Grey(Recipe(64, 64, 75, 1, 1));
    const std::vector<uint8_t> small = test::MakeJpeg(tiny);
    EXPECT_EQ(JpegStealthCodec::SizesFor(ReadOrFail(small)).Largest, 0u);
    EXPECT_EQ(
        JpegStealthCodec::HideFile(small, Password(), RandomBytes(1, 1), "", out, nullptr), StealthStatus::Unsuitable);
    const std::vector<uint8_t> notJpeg(500, 0x42);
    EXPECT_EQ(JpegStealthCodec::HideFile(notJpeg, Password(), RandomBytes(1, 1), "", out, nullptr),
        StealthStatus::Unsuitable);
    EXPECT_TRUE(out.empty());
}

// A coefficient at the edge of what the coder takes moves only inwards.
TEST(JpegStealthCodec, CoefficientsStayCodable)
{
    const std::vector<uint8_t> cover = test::MakeJpeg(Recipe(160, 120, 95, 1, 1));
    JpegCoefficients jpeg = ReadOrFail(cover);
    for (size_t e = 1; e < jpeg.Values.size(); e += 2)
        jpeg.Values[e] = static_cast<int16_t>(e % 4 == 1 ? 1023 : -1023);
    for (size_t e = 0; e < jpeg.Values.size(); e += 64)
        jpeg.Values[e] = static_cast<int16_t>(e % 128 == 0 ? 1023 : -1024);
    const JpegCoefficients before = jpeg;
    const StealthSizes sizes = JpegStealthCodec::SizesFor(jpeg);
    ASSERT_EQ(
        JpegStealthCodec::Hide(jpeg, Password(), RandomBytes(sizes.Largest, 3), "", nullptr), StealthStatus::Done);
    size_t changed = 0;
    for (size_t e = 0; e < jpeg.Values.size(); ++e) {
        const int limit = e % 64 == 0 ? 1024 : 1023;
        ASSERT_LE(jpeg.Values[e], 1023);
        ASSERT_GE(jpeg.Values[e], -limit);
        changed += jpeg.Values[e] != before.Values[e];
    }
    EXPECT_GT(changed, 0u);
    std::vector<uint8_t> out;
    EXPECT_TRUE(JpegCoefficientFile::Write(cover, jpeg, out));
}

} // namespace
} // namespace lumaquill::stealth
