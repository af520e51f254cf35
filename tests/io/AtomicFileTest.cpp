#include "io/AtomicFile.h"

#include "core/MessageText.h"
#include "support/TestFiles.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#ifdef __linux__
#include <sys/ptrace.h>
#endif
#include <unistd.h>

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

// Only regular files are replaced: a link, a FIFO or a device in the
// target's place is refused with the reason, whatever it points to.
TEST(AtomicFile, RefusesTargetsThatAreNotRegularFiles)
{
    test::ScratchFolder scratch;
    const std::string elsewhere = scratch.File("elsewhere.bin");
    test::WriteBytes(elsewhere, { 9, 9 });
    const std::string link = scratch.File("link.bin");
    std::filesystem::create_symlink(elsewhere, link);
    const std::string fifo = scratch.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> targets = { link, fifo };
    // A device node of our own (the zero device, where root may make one):
    // a fault here must never reach the system's /dev.
    const std::string device = scratch.File("zero");
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 5)) == 0)
        targets.push_back(device);
    const std::vector<uint8_t> bytes = { 4, 5 };
    for (const std::string& target : targets) {
        for (const ExistingFile existing : { ExistingFile::Replace, ExistingFile::Keep }) {
            const FileWriteResult result = WriteFileAtomically(target, bytes.data(), bytes.size(), existing);
            EXPECT_FALSE(result) << target;
            EXPECT_EQ(result.Reason, message::kNotARegularFile) << target;
        }
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(test::ReadBytes(elsewhere), (std::vector<uint8_t> { 9, 9 }));
    if (targets.size() == 3) {
        EXPECT_TRUE(std::filesystem::is_character_file(device));
    }
    EXPECT_EQ(EntriesIn(scratch.Path()), targets.size() + 1);
}

// The null device is a sink: a write to it succeeds and leaves it the
// device it is, with no temporary file beside it. A node of our own stands
// in for it where root may make one; the system's own is only written to.
TEST(AtomicFile, TakesTheNullDeviceAsASink)
{
    const std::vector<uint8_t> bytes = { 4, 5 };
    EXPECT_TRUE(IsNullDevice("/dev/null"));
    EXPECT_TRUE(WriteFileAtomically("/dev/null", bytes.data(), bytes.size(), ExistingFile::Keep));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    test::ScratchFolder scratch;
    const std::string link = scratch.File("null-link");
    std::filesystem::create_symlink("/dev/null", link);
    EXPECT_FALSE(IsNullDevice(link));
    EXPECT_FALSE(IsNullDevice(scratch.Path()));
    const std::string node = scratch.File("null");
    if (::mknod(node.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        return;
    EXPECT_TRUE(IsNullDevice(node));
    EXPECT_TRUE(WriteFileAtomically(node, bytes.data(), bytes.size(), ExistingFile::Replace));
    EXPECT_TRUE(std::filesystem::is_character_file(node));
    EXPECT_EQ(EntriesIn(scratch.Path()), 2u);
}

mode_t ModeOf(const std::string& path)
{
    struct stat info = {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// A replaced file keeps its permission bits (a private 0600 file stays
// private); a new one gets what the umask allows.
TEST(AtomicFile, KeepsTheReplacedFilesPermissionBits)
{
    test::ScratchFolder scratch;
    const std::vector<uint8_t> bytes = { 7 };
    for (const mode_t mode : { mode_t { 0600 }, mode_t { 0640 }, mode_t { 0755 } }) {
        const std::string path = scratch.File("kept" + std::to_string(mode));
        test::WriteBytes(path, { 1, 2 });
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(path, bytes.data(), bytes.size()));
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(test::ReadBytes(path), bytes);
    }
    const mode_t mask = ::umask(022);
    const std::string fresh = scratch.File("fresh");
    ASSERT_TRUE(WriteFileAtomically(fresh, bytes.data(), bytes.size()));
    ::umask(mask);
    EXPECT_EQ(ModeOf(fresh), mode_t { 0644 });
}

// Keep refuses an existing file without touching it, and leaves nothing.
TEST(AtomicFile, KeepRefusesAnExistingFile)
{
    test::ScratchFolder scratch;
    const std::string path = scratch.File("there.bin");
    test::WriteBytes(path, { 1, 2 });
    const std::vector<uint8_t> bytes = { 3 };
    const FileWriteResult result = WriteFileAtomically(path, bytes.data(), bytes.size(), ExistingFile::Keep);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.Reason, "File exists");
    EXPECT_EQ(test::ReadBytes(path), (std::vector<uint8_t> { 1, 2 }));
    EXPECT_TRUE(WriteFileAtomically(scratch.File("new.bin"), bytes.data(), bytes.size(), ExistingFile::Keep));
    EXPECT_EQ(EntriesIn(scratch.Path()), 2u);
}

// A folder that cannot be written says so in the system's words.
TEST(AtomicFile, GivesTheSystemsReason)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    test::ScratchFolder scratch;
    const std::string folder = scratch.File("ro/x");
    std::filesystem::create_directories(scratch.Path() + "/ro");
    ASSERT_EQ(::chmod((scratch.Path() + "/ro").c_str(), 0500), 0);
    const std::vector<uint8_t> bytes = { 3 };
    const FileWriteResult result = WriteFileAtomically(folder, bytes.data(), bytes.size());
    ::chmod((scratch.Path() + "/ro").c_str(), 0700);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.Reason, "Permission denied");
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

// A write cut short by SIGTERM leaves no copy of the data behind; while it
// runs, the temporary file is private (0600). The child rewrites a large
// file over and over, so a temporary is nearly always there to be caught.
TEST(AtomicFile, InterruptedWriteLeavesNoTemporary)
{
    test::ScratchFolder scratch;
    const std::string target = scratch.File("secret.bin");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::vector<uint8_t> bytes(8 << 20, 0x5A);
        for (;;)
            WriteFileAtomically(target, bytes.data(), bytes.size());
    }
    std::optional<mode_t> seen;
    for (int i = 0; i < 200000 && !seen; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(scratch.Path())) {
            if (entry.path().filename().string().find(".part-") != std::string::npos)
                seen = ModeOf(entry.path().string());
        }
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(*seen, mode_t { 0600 });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    for (const auto& entry : std::filesystem::directory_iterator(scratch.Path()))
        EXPECT_EQ(entry.path().filename().string(), "secret.bin");
}

#ifdef __linux__

bool HoldsATemporary(const std::string& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".part-") != std::string::npos)
            return true;
    }
    return false;
}

// SIGTERM arriving the moment the temporary file has been created leaves
// nothing either, even in a process that has written nothing before. The
// child runs traced and stops at every system call; the signal is sent at
// the first stop that finds the temporary in the folder, the return from
// the call that created it, and the child goes on untraced from there.
TEST(AtomicFile, SignalRightAfterTheTemporaryIsCreatedLeavesNoTemporary)
{
    constexpr int kCannotTrace = 77;
    test::ScratchFolder scratch;
    const std::string target = scratch.File("secret.bin");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(kCannotTrace);
        ::raise(SIGSTOP);
        const std::vector<uint8_t> bytes(4096, 0x5A);
        WriteFileAtomically(target, bytes.data(), bytes.size());
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotTrace)
        GTEST_SKIP() << "this system lets no process trace its child";
    bool signalled = false;
    while (!signalled && WIFSTOPPED(status) && ::ptrace(PTRACE_SYSCALL, child, nullptr, nullptr) == 0) {
        ::waitpid(child, &status, 0);
        if (WIFSTOPPED(status) && HoldsATemporary(scratch.Path())) {
            ::kill(child, SIGTERM);
            signalled = ::ptrace(PTRACE_DETACH, child, nullptr, nullptr) == 0;
        }
    }
    if (!signalled)
        ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(signalled);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(EntriesIn(scratch.Path()), 0u);
}

#endif

} // namespace
} // namespace lumaquill
