#include "engine/AtomicFile.h"

#include "flows/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lumaquill {
namespace {

size_t EntriesIn(const std::string& folder)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

TEST(AtomicFile, WritesANewFile)
{
    test::ScratchFolder scratch;
    const std::string path = scratch.File("new.bin");
    const std::vector<uint8_t> bytes = test::NoiseBytes(70000, 1);
    ASSERT_TRUE(WriteFileAtomically(path, bytes.data(), bytes.size()));
    EXPECT_EQ(test::ReadBytes(path), bytes);
    EXPECT_EQ(EntriesIn(scratch.Path()), 1u);
}

TEST(AtomicFile, ReplacesAnExistingFileAndKeepsNoTemporary)
{
    test::ScratchFolder scratch;
    const std::string path = scratch.File("old.bin");
    test::WriteBytes(path, test::NoiseBytes(100, 2));
    const std::vector<uint8_t> bytes = { 1, 2, 3 };
    ASSERT_TRUE(WriteFileAtomically(path, bytes.data(), bytes.size()));
    EXPECT_EQ(test::ReadBytes(path), bytes);
    EXPECT_EQ(EntriesIn(scratch.Path()), 1u);
}

TEST(AtomicFile, WritesAnEmptyFile)
{
    test::ScratchFolder scratch;
    const std::string path = scratch.File("empty.bin");
    ASSERT_TRUE(WriteFileAtomically(path, nullptr, 0));
    EXPECT_TRUE(test::ReadBytes(path).empty());
}

TEST(AtomicFile, ReplacesALinkItselfNotWhatItPointsTo)
{
    test::ScratchFolder scratch;
    const std::string elsewhere = scratch.File("elsewhere.bin");
    test::WriteBytes(elsewhere, { 9, 9 });
    const std::string link = scratch.File("link.bin");
    std::filesystem::create_symlink(elsewhere, link);
    const std::vector<uint8_t> bytes = { 4, 5 };
    ASSERT_TRUE(WriteFileAtomically(link, bytes.data(), bytes.size()));
    EXPECT_EQ(test::ReadBytes(elsewhere), (std::vector<uint8_t> { 9, 9 }));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::ReadBytes(link), bytes);
}

TEST(AtomicFile, FailsWhereNothingCanBeWrittenAndLeavesNothing)
{
    test::ScratchFolder scratch;
    const std::vector<uint8_t> bytes = { 1 };
    EXPECT_FALSE(WriteFileAtomically(scratch.Path() + "/missing/file.bin", bytes.data(), bytes.size()));
    const std::string folder = scratch.File("taken/x");
    std::filesystem::create_directories(folder + "/inside");
    EXPECT_FALSE(WriteFileAtomically(folder, bytes.data(), bytes.size()));
    EXPECT_EQ(EntriesIn(scratch.Path() + "/taken"), 1u);
    EXPECT_FALSE(WriteFileAtomically(scratch.Path() + "/", bytes.data(), bytes.size()));
}

} // namespace
} // namespace lumaquill
