#include "flows/TempFolder.h"

#include "flows/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumaquill {
namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat info { };
    EXPECT_EQ(::lstat(path.c_str(), &info), 0);
    return info.st_mode;
}

TEST(PrivateTempFolder, IsAFolderOfTheUserWithMode0700InsideTmpdir)
{
    test::ScratchFolder scratch;
    test::ScopedTmpDir tmp(scratch.Path());
    const auto folder = PrivateTempFolder();
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->rfind(scratch.Path() + "/", 0), 0u);
    EXPECT_EQ(folder->back(), '/');
    EXPECT_TRUE(S_ISDIR(ModeOf(*folder)));
    EXPECT_EQ(ModeOf(*folder) & 07777, 0700u);
    EXPECT_EQ(PrivateTempFolder(), folder);
}

TEST(PrivateTempFolder, AnOpenedUpFolderOfOursIsClosedAgain)
{
    test::ScratchFolder scratch;
    test::ScopedTmpDir tmp(scratch.Path());
    const std::string folder = *PrivateTempFolder();
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    ASSERT_TRUE(PrivateTempFolder());
    EXPECT_EQ(ModeOf(folder) & 07777, 0700u);
}

TEST(PrivateTempFolder, ASymbolicLinkInItsPlaceIsRefused)
{
    test::ScratchFolder scratch;
    test::ScopedTmpDir tmp(scratch.Path());
    const std::string folder = *PrivateTempFolder();
    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    ASSERT_EQ(::symlink(scratch.Path().c_str(), folder.substr(0, folder.size() - 1).c_str()), 0);
    EXPECT_FALSE(PrivateTempFolder());
}

TEST(PrivateTempFolder, AFileInItsPlaceIsRefused)
{
    test::ScratchFolder scratch;
    test::ScopedTmpDir tmp(scratch.Path());
    const std::string folder = *PrivateTempFolder();
    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    test::WriteBytes(folder.substr(0, folder.size() - 1), { 1 });
    EXPECT_FALSE(PrivateTempFolder());
}

TEST(PrepareTempFile, ReplacesALinkWithAnEmptyFileAndLeavesItsTargetAlone)
{
    test::ScratchFolder scratch;
    const std::string target = scratch.File("target.bin");
    test::WriteBytes(target, { 1, 2, 3 });
    const std::string path = scratch.File("asyat.bmp");
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    ASSERT_TRUE(PrepareTempFile(path));
    EXPECT_TRUE(S_ISREG(ModeOf(path)));
    EXPECT_TRUE(test::ReadBytes(path).empty());
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t> { 1, 2, 3 }));
}

} // namespace
} // namespace lumaquill
