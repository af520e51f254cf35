#include "stealth/StealthCodec.h"

#include "image/DibBuilder.h"
#include "image/DibImage.h"
#include "stealth/StealthSizes.h"
#include "support/RecordingProgress.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace lumaquill::stealth {
namespace {

const SecretBytes& Password()
{
    static const SecretBytes password(std::string_view("correct horse"));
    return password;
}

// A photo-like picture: smooth gradients, a textured band and noise, so
// the costs vary; a 32-bit picture gets an alpha ramp.
DibImage Picture(uint32_t width, uint32_t height, uint16_t bits, uint32_t seed)
{
    std::mt19937 random(seed);
    DibBuilder builder;
    EXPECT_TRUE(builder.Start(width, height, bits));
    const uint32_t bytes = bits / 8;
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = builder.TopRow(y);
        for (uint32_t x = 0; x < width; ++x) {
            const bool textured = (y * 3 / height) == 1;
            for (uint32_t c = 0; c < 3; ++c) {
                const int smooth = int((x * 255) / width + c * 40) % 256;
                const int noise = textured ? int(random() % 61) - 30 : int(random() % 3) - 1;
                row[x * bytes + c] = uint8_t(std::clamp(smooth + noise, 0, 255));
            }
            if (bytes == 4)
                row[x * bytes + 3] = uint8_t((x + y) % 256);
        }
    }
    DibImage image;
    builder.Finish(image);
    return image;
}

std::vector<uint8_t> RandomBytes(size_t size, std::mt19937& random)
{
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes)
        byte = uint8_t(random());
    return bytes;
}

// Every sample of the rows moved by at most 1 (so none wrapped past 0 or
// 255); the fourth byte of 32-bit pixels and the row padding not at all.
void ExpectOnlyOneSteps(const DibImage& before, const DibImage& after)
{
    ASSERT_EQ(before.Pixels().size(), after.Pixels().size());
    const uint32_t bytes = before.BitCount() / 8;
    const uint32_t rowBytes = uint32_t(before.Width()) * bytes;
    size_t changed = 0;
    for (size_t i = 0; i < before.Pixels().size(); ++i) {
        const size_t inRow = i % before.Stride();
        const bool sample = inRow < rowBytes && (bytes == 3 || inRow % 4 != 3);
        const int step = std::abs(int(before.Pixels()[i]) - int(after.Pixels()[i]));
        ASSERT_LE(step, sample ? 1 : 0) << "byte " << i;
        changed += step;
    }
    EXPECT_GT(changed, 0u);
}

struct RoundTrip {
    const char* Name;
    uint32_t Width;
    uint32_t Height;
    uint16_t Bits;
    // Content bytes; SIZE_MAX takes the largest size less the name.
    size_t ContentBytes;
    std::string StoredName;
};

TEST(StealthCodecTest, HideThenOpenRoundTrips)
{
    const uint32_t seed = std::random_device {}();
    std::printf("StealthCodecTest seed %u\n", seed);
    std::mt19937 random(seed);
    const RoundTrip cases[] = {
        { "64 x 64, 24-bit, safe size", 64, 64, 24, 8, "" },
        { "101 x 67, 32-bit, largest size with a name", 101, 67, 32, SIZE_MAX, "notes.txt" },
        { "1000 x 700, 24-bit, safe size (two payload blocks)", 1000, 700, 24, 4358 - 14, "photo-list.csv" },
        { "120 x 90, 32-bit, an empty file", 120, 90, 32, 0, "empty.txt" },
    };
    for (const RoundTrip& trip : cases) {
        const DibImage cover = Picture(trip.Width, trip.Height, trip.Bits, seed);
        const size_t contentBytes = trip.ContentBytes == SIZE_MAX
            ? SizesFor(int32_t(trip.Width), int32_t(trip.Height)).Largest - trip.StoredName.size()
            : trip.ContentBytes;
        const std::vector<uint8_t> content = RandomBytes(contentBytes, random);
        DibImage stego = cover;
        std::vector<std::string> hideLog;
        test::RecordingProgress hideProgress(hideLog);
        ASSERT_EQ(Hide(stego, Password(), content, trip.StoredName, &hideProgress), StealthStatus::Done) << trip.Name;
        ExpectOnlyOneSteps(cover, stego);
        std::vector<uint8_t> opened;
        std::string name;
        std::vector<std::string> openLog;
        test::RecordingProgress openProgress(openLog);
        ASSERT_EQ(Open(stego, Password(), opened, name, &openProgress), StealthStatus::Done) << trip.Name;
        EXPECT_EQ(opened, content) << trip.Name;
        EXPECT_EQ(name, trip.StoredName) << trip.Name;
        for (const std::vector<std::string>* log : { &hideLog, &openLog }) {
            EXPECT_EQ(log->front(), "SetRange 100") << trip.Name;
            EXPECT_EQ(log->back(), "SetPos 100") << trip.Name;
        }
    }
}

// One stealth image, hidden once, then read in the ways that must fail.
class StealthRefusalTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Stego = new DibImage(Picture(96, 80, 24, 7));
        const std::vector<uint8_t> content(40, 'z');
        ASSERT_EQ(Hide(*Stego, Password(), content, "a", nullptr), StealthStatus::Done);
    }
    static void TearDownTestSuite() { delete Stego; }

    static StealthStatus OpenWith(const DibImage& image, std::string_view password)
    {
        std::vector<uint8_t> content;
        std::string name;
        return Open(image, SecretBytes(password), content, name, nullptr);
    }

    static DibImage* Stego;
};

DibImage* StealthRefusalTest::Stego = nullptr;

TEST_F(StealthRefusalTest, WrongPasswordIsNotOpened)
{
    EXPECT_EQ(OpenWith(*Stego, "correct horsf"), StealthStatus::NotOpened);
}

// Every element's column reaches a row of its code, so one changed parity
// anywhere changes the salt, the length or the envelope.
TEST_F(StealthRefusalTest, OneChangedSampleIsNotOpened)
{
    const size_t samples[] = { 0, 1000, Stego->Pixels().size() - 1 };
    for (size_t at : samples) {
        DibImage changed = *Stego;
        changed.Pixels()[at] ^= 1;
        EXPECT_EQ(OpenWith(changed, "correct horse"), StealthStatus::NotOpened) << "byte " << at;
    }
}

TEST_F(StealthRefusalTest, UntouchedPictureIsNotOpened)
{
    EXPECT_EQ(OpenWith(Picture(96, 80, 24, 7), "correct horse"), StealthStatus::NotOpened);
}

TEST(StealthCodecTest, TooLargeContentOrNameIsRefused)
{
    DibImage image = Picture(64, 64, 24, 1);
    const DibImage before = image;
    const std::vector<uint8_t> content(SizesFor(64, 64).Largest, 'x');
    EXPECT_EQ(Hide(image, Password(), content, "n", nullptr), StealthStatus::TooLarge);
    EXPECT_EQ(Hide(image, Password(), {}, std::string(51, 'n'), nullptr), StealthStatus::TooLarge);
    EXPECT_EQ(image.Pixels(), before.Pixels());
}

TEST(StealthCodecTest, SmallOrEmptyPicturesAreUnsuitable)
{
    DibImage small = Picture(40, 40, 24, 1);
    EXPECT_EQ(Hide(small, Password(), {}, "", nullptr), StealthStatus::Unsuitable);
    DibImage empty;
    EXPECT_EQ(Hide(empty, Password(), {}, "", nullptr), StealthStatus::Unsuitable);
    std::vector<uint8_t> content;
    std::string name;
    EXPECT_EQ(Open(small, Password(), content, name, nullptr), StealthStatus::NotOpened);
}

} // namespace
} // namespace lumaquill::stealth
