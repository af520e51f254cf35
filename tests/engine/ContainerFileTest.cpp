#include "engine/StegEngine.h"
#include "engine/WalkTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace lumaquill {
namespace {

namespace fs = std::filesystem;
using walktest::MakeFlatBitmap;
using walktest::Rgb;

class ContainerFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Folder = fs::temp_directory_path() / ("lumaquill-container-" + std::to_string(std::random_device {}()));
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }

    std::string PathOf(const std::string& name) const { return (Folder / name).string(); }

    void WriteFile(const std::string& name, const std::string& bytes) const
    {
        std::ofstream file(Folder / name, std::ios::binary);
        file << bytes;
    }

    std::string ReadFile(const std::string& name) const
    {
        std::ifstream file(Folder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    size_t FilesInFolder() const { return size_t(std::distance(fs::directory_iterator(Folder), {})); }

    fs::path Folder;
    StegEngine Engine;
};

TEST_F(ContainerFileTest, LoadingAUsableImageResizesTheMapAndStartsAfresh)
{
    WriteFile("a.bmp", MakeFlatBitmap(47, 33, 24, Rgb(1, 2, 3)));
    Engine.FallbackScan = true;
    ASSERT_TRUE(Engine.LoadContainer(PathOf("a.bmp")));
    EXPECT_TRUE(Engine.IsUsableContainer());
    EXPECT_EQ(Engine.UsedPixels.Width, 47);
    EXPECT_EQ(Engine.UsedPixels.Height, 33);
    EXPECT_EQ(Engine.UsedPixels.Remaining, 45 * 31);
    EXPECT_FALSE(Engine.FallbackScan);
    EXPECT_EQ(Engine.GetPixel(5, 5), Rgb(1, 2, 3));
}

TEST_F(ContainerFileTest, ThirtyTwoBitImagesAreUsable)
{
    WriteFile("a.bmp", MakeFlatBitmap(9, 7, 32, 0));
    EXPECT_TRUE(Engine.LoadContainer(PathOf("a.bmp")));
}

TEST_F(ContainerFileTest, AnImageOfFewerThan24BitsIsRefusedAndTheMapKept)
{
    WriteFile("a.bmp", MakeFlatBitmap(47, 33, 8, 0));
    Engine.UsedPixels.Mark(5, 5);
    EXPECT_FALSE(Engine.LoadContainer(PathOf("a.bmp")));
    EXPECT_FALSE(Engine.IsUsableContainer());
    EXPECT_EQ(Engine.UsedPixels.Width, 100);
    EXPECT_EQ(Engine.UsedPixels.Remaining, 9603);
}

TEST_F(ContainerFileTest, AFailedLoadLeavesNoImage)
{
    WriteFile("good.bmp", MakeFlatBitmap(20, 20, 24, 0));
    WriteFile("text.bmp", "this is not a bitmap file");
    const std::string missing[] = { PathOf("text.bmp"), PathOf("missing.bmp"), Folder.string() };
    for (const std::string& path : missing) {
        ASSERT_TRUE(Engine.LoadContainer(PathOf("good.bmp")));
        EXPECT_FALSE(Engine.LoadContainer(path)) << path;
        EXPECT_FALSE(Engine.IsValid()) << path;
        EXPECT_EQ(Engine.UsedPixels.Width, 20) << path;
    }
}

TEST_F(ContainerFileTest, SaveWritesTheBitmapAndLeavesNoTemporaryFile)
{
    WriteFile("a.bmp", MakeFlatBitmap(47, 33, 24, Rgb(9, 8, 7)));
    ASSERT_TRUE(Engine.LoadContainer(PathOf("a.bmp")));
    Engine.SetPixel(3, 4, Rgb(200, 100, 50));
    ASSERT_TRUE(Engine.SaveContainer(PathOf("out.bmp"), PictureFormat::Bmp));
    EXPECT_EQ(ReadFile("out.bmp"), walktest::SaveToBytes(Engine));
    EXPECT_EQ(FilesInFolder(), 2u);
    StegEngine reader;
    ASSERT_TRUE(reader.LoadContainer(PathOf("out.bmp")));
    EXPECT_EQ(reader.GetPixel(3, 4), Rgb(200, 100, 50));
}

TEST_F(ContainerFileTest, SaveReplacesAnExistingFile)
{
    WriteFile("a.bmp", MakeFlatBitmap(10, 10, 24, 0));
    WriteFile("out.bmp", std::string(5000, 'x'));
    ASSERT_TRUE(Engine.LoadContainer(PathOf("a.bmp")));
    ASSERT_TRUE(Engine.SaveContainer(PathOf("out.bmp"), PictureFormat::Bmp));
    EXPECT_EQ(ReadFile("out.bmp"), walktest::SaveToBytes(Engine));
    EXPECT_EQ(FilesInFolder(), 2u);
}

TEST_F(ContainerFileTest, AFailedSaveKeepsTheExistingFile)
{
    WriteFile("out.bmp", "previous contents");
    EXPECT_FALSE(Engine.SaveContainer(PathOf("out.bmp"), PictureFormat::Bmp));
    EXPECT_EQ(ReadFile("out.bmp"), "previous contents");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(ContainerFileTest, SavingIntoAMissingFolderFails)
{
    WriteFile("a.bmp", MakeFlatBitmap(10, 10, 24, 0));
    ASSERT_TRUE(Engine.LoadContainer(PathOf("a.bmp")));
    EXPECT_FALSE(Engine.SaveContainer(PathOf("no-such-folder/out.bmp"), PictureFormat::Bmp));
    EXPECT_FALSE(Engine.SaveContainer(Folder.string(), PictureFormat::Bmp));
    EXPECT_EQ(FilesInFolder(), 1u);
}

} // namespace
} // namespace lumaquill
