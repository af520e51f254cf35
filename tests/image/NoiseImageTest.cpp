#include "image/NoiseImage.h"

#include "image/BmpFixture.h"
#include "image/DibImage.h"
#include "keys/RuntimeRandom.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

using namespace bmptest;

uint32_t FieldAt(const std::string& bytes, size_t offset)
{
    return Load32Le(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}

uint16_t ShortAt(const std::string& bytes, size_t offset)
{
    return Load16Le(reinterpret_cast<const uint8_t*>(bytes.data()) + offset);
}

TEST(NoiseImageTest, SideGrowsWithTheSquareRootOfThePayload)
{
    struct Case {
        uint32_t Payload;
        int32_t Side;
    };
    const Case cases[] = {
        { 0, 67 },
        { 8, 67 },
        { 386, 67 },
        { 387, 68 }, // 129 + 4096 = 65 * 65
        { 1000, 69 },
        { 30000, 121 },
        { 1000000, 583 },
        { 0xFFFFFFFF, 37840 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(NoiseImage::SideFor(c.Payload), c.Side) << "payload " << c.Payload;
}

TEST(NoiseImageTest, EveryRowByteIncludingPaddingIsOneDrawModulo255)
{
    constexpr uint32_t kSeed = 0x1234567;
    RuntimeSrand(kSeed);
    NoiseImage noise;
    noise.Create(NoiseImage::SideFor(8));
    const uint32_t stateAfter = RuntimeRandState();
    ASSERT_EQ(noise.Width(), 69);
    ASSERT_EQ(noise.Height(), 69);
    // 69 pixels of 3 bytes make 207 bytes, padded to 208.
    ASSERT_EQ(noise.Rows().size(), 208u * 69);

    RuntimeSrand(kSeed);
    bool allBelow255 = true;
    for (size_t i = 0; i < noise.Rows().size(); ++i) {
        allBelow255 = allBelow255 && noise.Rows()[i] < 255;
        ASSERT_EQ(noise.Rows()[i], RuntimeRand() % 255) << "byte " << i;
    }
    EXPECT_TRUE(allBelow255);
    EXPECT_EQ(RuntimeRandState(), stateAfter);
}

TEST(NoiseImageTest, TheSameSeedGivesTheSameNoise)
{
    RuntimeSrand(99);
    NoiseImage first;
    first.Create(10);
    const uint32_t stateAfterFirst = RuntimeRandState();
    RuntimeSrand(99);
    NoiseImage second;
    second.Create(10);
    EXPECT_EQ(first.Rows(), second.Rows());
    NoiseImage third;
    third.Create(10);
    EXPECT_NE(third.Rows(), first.Rows()) << "the generator continues, it is not reseeded";
    EXPECT_NE(stateAfterFirst, 99u);
}

TEST(NoiseImageTest, ASideBelowOneGivesNoPictureAndDrawsNothing)
{
    RuntimeSrand(5);
    NoiseImage noise;
    noise.Create(-2);
    EXPECT_EQ(noise.Width(), 0);
    EXPECT_TRUE(noise.Rows().empty());
    EXPECT_EQ(RuntimeRandState(), 5u);
    TempFolder folder;
    EXPECT_EQ(noise.Save(folder.File("none.bmp")), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder.File("none.bmp")));
}

TEST(NoiseImageTest, SavedFileIsAPlain24BitBitmap)
{
    RuntimeSrand(7);
    NoiseImage noise;
    noise.Create(67);
    TempFolder folder;
    const std::string path = folder.File("asyat.bmp");
    const uint32_t imageSize = 208 * 69;
    ASSERT_EQ(noise.Save(path), 54 + imageSize);
    const std::string file = ReadWholeFile(path);
    ASSERT_EQ(file.size(), 54 + imageSize);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(FieldAt(file, 2), 54 + imageSize);
    EXPECT_EQ(FieldAt(file, 6), 0u);
    EXPECT_EQ(FieldAt(file, 10), 54u);
    EXPECT_EQ(FieldAt(file, 14), 40u);
    EXPECT_EQ(FieldAt(file, 18), 69u);
    EXPECT_EQ(FieldAt(file, 22), 69u);
    EXPECT_EQ(ShortAt(file, 26), 1);
    EXPECT_EQ(ShortAt(file, 28), 24);
    EXPECT_EQ(FieldAt(file, 30), 0u);
    EXPECT_EQ(FieldAt(file, 34), imageSize);
    for (size_t offset = 38; offset < 54; offset += 4)
        EXPECT_EQ(FieldAt(file, offset), 0u) << "offset " << offset;
    EXPECT_EQ(file.substr(54), Bytes(noise.Rows()));

    DibImage image;
    std::istringstream stream = StreamOf(file);
    ASSERT_EQ(image.Read(stream), file.size());
    EXPECT_EQ(image.Pixels(), noise.Rows());
}

TEST(NoiseImageTest, SavingIntoAMissingFolderReportsNothingWritten)
{
    NoiseImage noise;
    noise.Create(1);
    TempFolder folder;
    EXPECT_EQ(noise.Save(folder.File("missing/asyat.bmp")), 0u);
}

} // namespace
} // namespace lumaquill
