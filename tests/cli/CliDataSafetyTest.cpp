#include "cli/CliTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumaquill {
namespace {

using test::CliRun;
using test::ReadFile;
using test::RunCli;
using test::WriteFile;

namespace fs = std::filesystem;

// The faults of a careless command line: lost data, planted or replaced
// files, crashes. Each test runs the real executable in a folder of its own
// with a 101 x 67 container.
class CliDataSafetyTest : public test::CliFolderTest {
protected:
    CliRun Encode(const std::string& out, std::vector<std::string> extra)
    {
        std::vector<std::string> args = { "encode", "--out", out, "--container", "c.bmp", "--password", "abcd" };
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }
    mode_t ModeOf(const std::string& name) const
    {
        struct stat info = {};
        ::stat((Dir / name).c_str(), &info);
        return info.st_mode & 07777;
    }
};

// 300 000 "A"s compress to a few hundred bytes, but a decode restores at
// most 20 x Capacity(5) bytes: the noise picture is made large enough.
TEST_F(CliDataSafetyTest, HighlyCompressibleTextInNoiseDecodesAgain)
{
    const std::string text(300000, 'A');
    WriteFile(Dir / "a.txt", text);
    CliRun encode = Run({ "encode", "--out", "n.bmp", "--noise", "--text-file", "a.txt", "--password", "abcd" });
    ASSERT_EQ(encode.Status, 0) << encode.Err;
    CliRun decode = Run({ "decode", "n.bmp", "--password", "abcd" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_TRUE(decode.Out == text);
}

// An ordinary picture that could not give the data back refuses before
// anything is written, giving both sizes.
TEST_F(CliDataSafetyTest, DataThatCouldNotComeBackIsRefusedBeforeWriting)
{
    WriteFile(Dir / "zeros.bin", std::string(1000000, '\0'));
    CliRun encode = Encode("o.bmp", { "--file", "zeros.bin" });
    EXPECT_EQ(encode.Status, 1);
    EXPECT_NE(encode.Err.find("it has 1000000 bytes"), std::string::npos) << encode.Err;
    EXPECT_NE(encode.Err.find("at most 325420 bytes"), std::string::npos) << encode.Err;
    EXPECT_FALSE(fs::exists(Dir / "o.bmp"));
}

TEST_F(CliDataSafetyTest, NoRoomSaysHowLargeTheDataIsAndWhatWouldTakeIt)
{
    WriteFile(Dir / "big.bin", test::Incompressible(4000, 9));
    CliRun encode = Encode("o.bmp", { "--file", "big.bin" });
    EXPECT_EQ(encode.Status, 1);
    EXPECT_NE(encode.Err.find("Could not find a suitable encoder.\n"), std::string::npos) << encode.Err;
    EXPECT_NE(encode.Err.find("this image takes at most 2692. Use --noise or a larger picture."), std::string::npos)
        << encode.Err;
    EXPECT_FALSE(fs::exists(Dir / "o.bmp"));
}

// Encode, like decode, replaces an existing target only with --force, and
// a replaced file keeps its permission bits.
TEST_F(CliDataSafetyTest, EncodeKeepsAnExistingTargetWithoutForce)
{
    WriteFile(Dir / "o.bmp", "precious");
    ASSERT_EQ(::chmod((Dir / "o.bmp").c_str(), 0600), 0);
    CliRun refused = Encode("o.bmp", { "--text", "t" });
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Err, "\"o.bmp\" already exists; use --force to replace it.\n");
    EXPECT_EQ(ReadFile(Dir / "o.bmp"), "precious");
    // Not even the container itself is replaced silently.
    EXPECT_EQ(
        Run({ "encode", "--out", "c.bmp", "--container", "c.bmp", "--text", "t", "--password", "abcd" }).Status, 1);

    CliRun forced = Encode("o.bmp", { "--text", "t", "--force" });
    EXPECT_EQ(forced.Status, 0) << forced.Err;
    EXPECT_EQ(ModeOf("o.bmp"), mode_t { 0600 });
    EXPECT_EQ(Run({ "decode", "o.bmp", "--password", "abcd" }).Out, "t");
}

TEST_F(CliDataSafetyTest, DecodeForceKeepsTheReplacedFilesPermissions)
{
    WriteFile(Dir / "secret.bin", "payload bytes");
    ASSERT_EQ(Encode("o.bmp", { "--file", "secret.bin" }).Status, 0);
    WriteFile(Dir / "mine.bin", "old");
    ASSERT_EQ(::chmod((Dir / "mine.bin").c_str(), 0600), 0);
    CliRun decode = Run({ "decode", "o.bmp", "--password", "abcd", "--out", "mine.bin", "--force" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(ReadFile(Dir / "mine.bin"), "payload bytes");
    EXPECT_EQ(ModeOf("mine.bin"), mode_t { 0600 });
}

// Links, FIFOs and devices are never replaced by a regular file, whatever
// --force says; the message names the reason.
TEST_F(CliDataSafetyTest, TargetsThatAreNotRegularFilesAreRefused)
{
    WriteFile(Dir / "secret.bin", "payload bytes");
    ASSERT_EQ(Encode("o.bmp", { "--file", "secret.bin" }).Status, 0);
    WriteFile(Dir / "elsewhere", "untouched");
    fs::create_symlink("elsewhere", Dir / "link.bmp");
    ASSERT_EQ(::mkfifo((Dir / "fifo.bmp").c_str(), 0600), 0);
    std::vector<std::string> targets = { "link.bmp", "fifo.bmp" };
    // A device node of our own (the null device, where root may make one):
    // a fault here must never reach the system's /dev.
    if (::mknod((Dir / "null.bmp").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
        targets.push_back("null.bmp");
    for (const std::string& target : targets) {
        CliRun encode = Encode(target, { "--text", "t", "--force" });
        EXPECT_EQ(encode.Status, 1) << target;
        EXPECT_NE(encode.Err.find("it is not a regular file."), std::string::npos) << encode.Err;
        CliRun decode = Run({ "decode", "o.bmp", "--password", "abcd", "--out", target, "--force" });
        EXPECT_EQ(decode.Status, 1) << target;
        EXPECT_NE(decode.Err.find("it is not a regular file."), std::string::npos) << decode.Err;
    }
    EXPECT_TRUE(fs::is_symlink(Dir / "link.bmp"));
    EXPECT_TRUE(fs::is_fifo(Dir / "fifo.bmp"));
    if (targets.size() == 3) {
        EXPECT_TRUE(fs::is_character_file(Dir / "null.bmp"));
    }
    EXPECT_EQ(ReadFile(Dir / "elsewhere"), "untouched");
}

// "-" is standard output: an encoded image (a PNG) into a pipe, a decoded
// file out of one.
TEST_F(CliDataSafetyTest, DashIsStandardOutputForEncodeAndDecode)
{
    WriteFile(Dir / "secret.bin", std::string("bin\0ary", 7));
    CliRun encode = Encode("-", { "--file", "secret.bin" });
    ASSERT_EQ(encode.Status, 0) << encode.Err;
    EXPECT_FALSE(fs::exists(Dir / "-"));
    EXPECT_EQ(encode.Out.substr(0, 4), "\x89PNG");
    WriteFile(Dir / "piped.png", encode.Out);
    CliRun decode = Run({ "decode", "piped.png", "--password", "abcd", "--out", "-" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(decode.Out, std::string("bin\0ary", 7));
    EXPECT_EQ(decode.Err, "");
    EXPECT_FALSE(fs::exists(Dir / "-"));
    EXPECT_FALSE(fs::exists(Dir / "secret.bin.1"));
}

// A text decoded with --out FILE goes there, not onto the terminal.
TEST_F(CliDataSafetyTest, DecodedTextGoesToOutFile)
{
    ASSERT_EQ(Encode("o.bmp", { "--text", "the secret" }).Status, 0);
    CliRun decode = Run({ "decode", "o.bmp", "--password", "abcd", "--out", "text.txt" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(decode.Out, "");
    EXPECT_EQ(ReadFile(Dir / "text.txt"), "the secret");
    CliRun again = Run({ "decode", "o.bmp", "--password", "abcd", "--out", "text.txt" });
    EXPECT_EQ(again.Status, 1);
    EXPECT_EQ(again.Err, "\"text.txt\" already exists; use --force to replace it.\n");
}

// A folder, or a file that cannot be opened, is refused with its reason;
// nothing ends in an uncaught exception.
TEST_F(CliDataSafetyTest, UnreadablePayloadsAreRefusedWithTheirReason)
{
    fs::create_directory(Dir / "folder");
    for (const char* kind : { "--file", "--text-file" }) {
        CliRun folder = Encode("o.bmp", { kind, "folder" });
        EXPECT_EQ(folder.Status, 1) << kind;
        EXPECT_EQ(folder.Err, "Could not read the chosen file. \"folder\": it is a folder.\n");
        CliRun missing = Encode("o.bmp", { kind, "missing.bin" });
        EXPECT_EQ(missing.Status, 1) << kind;
        EXPECT_EQ(missing.Err, "Could not read the chosen file. \"missing.bin\": No such file or directory.\n");
    }
    EXPECT_FALSE(fs::exists(Dir / "o.bmp"));
}

// A payload is judged by its kind and size before a byte of it is read: an
// endless device, a sparse gigabyte that no 101 x 67 picture could give
// back, and a sparse gibibyte that no noise picture within the limits could
// hold.
TEST_F(CliDataSafetyTest, PayloadsAreRefusedByKindAndSizeBeforeReading)
{
    CliRun device = Encode("o.bmp", { "--file", "/dev/zero" });
    EXPECT_EQ(device.Status, 1);
    EXPECT_EQ(device.Err, "Could not read the chosen file. \"/dev/zero\": it is not a regular file.\n");
    WriteFile(Dir / "large.bin", "");
    fs::resize_file(Dir / "large.bin", 1000000000);
    CliRun cover = Encode("o.bmp", { "--file", "large.bin" });
    EXPECT_EQ(cover.Status, 1);
    EXPECT_NE(cover.Err.find("it has 1000000000 bytes, and a decode of this image restores at most"), std::string::npos)
        << cover.Err;
    WriteFile(Dir / "huge.bin", "");
    fs::resize_file(Dir / "huge.bin", uint64_t(1) << 30);
    CliRun noise = Run({ "encode", "--out", "n.bmp", "--noise", "--file", "huge.bin", "--password", "abcd" });
    EXPECT_EQ(noise.Status, 1);
    EXPECT_NE(noise.Err.find("the largest picture Lumaquill writes takes at most"), std::string::npos) << noise.Err;
    EXPECT_FALSE(fs::exists(Dir / "o.bmp"));
    EXPECT_FALSE(fs::exists(Dir / "n.bmp"));
}

// Output that cannot be written (a full disk) is a failure, not success.
TEST_F(CliDataSafetyTest, UnwritableStandardOutputFails)
{
    const std::vector<std::vector<std::string>> commands = { { "info", "c.bmp" }, { "info", "c.bmp", "--json" },
        { "--help" }, { "encode", "--help" }, { "decode", "--help" }, { "info", "--help" } };
    for (const auto& args : commands) {
        CliRun run = RunCli(args, Dir.Path().string(), "", "/dev/full");
        EXPECT_EQ(run.Status, 1) << args[0];
        EXPECT_EQ(run.Err, "Could not write to standard output.\n") << args[0];
    }
}

// A pipe whose reader has gone is a failed write, exit 1, not SIGPIPE.
TEST_F(CliDataSafetyTest, ClosedPipeIsAFailureNotASignal)
{
    // More than a pipe buffer holds, so the write meets the closed end.
    test::WriteBmp24(Dir / "big.bmp", 400, 300);
    const std::string command = "cd '" + Dir.Path().string() + "' && ( '" + test::CliExecutable()
        + "' encode --out - --container big.bmp --text t --password abcd 2>err; echo $? >rc ) | true";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(Dir / "rc"), "1\n");
    EXPECT_EQ(ReadFile(Dir / "err"), "Could not write to standard output.\n");
}

// An empty answer would protect the image with nothing.
TEST_F(CliDataSafetyTest, QuizQuestionNeedsANonEmptyAnswer)
{
    CliRun encode = Run({ "encode", "--out", "o.bmp", "--container", "c.bmp", "--text", "t", "--quiz", "Q?", "", "" });
    EXPECT_EQ(encode.Status, 2);
    EXPECT_NE(encode.Err.find("every --quiz question needs a non-empty answer"), std::string::npos) << encode.Err;
    EXPECT_FALSE(fs::exists(Dir / "o.bmp"));
}

// A planted hidden name is saved visibly.
TEST_F(CliDataSafetyTest, AHiddenStoredNameIsNotSavedHidden)
{
    WriteFile(Dir / ".bash_profile", "echo planted");
    ASSERT_EQ(Encode("o.bmp", { "--file", ".bash_profile" }).Status, 0);
    fs::create_directory(Dir / "home");
    CliRun decode = Run({ "decode", "o.bmp", "--password", "abcd", "--out-dir", "home" });
    EXPECT_EQ(decode.Status, 0) << decode.Err;
    EXPECT_EQ(ReadFile(Dir / "home/_bash_profile"), "echo planted");
    EXPECT_FALSE(fs::exists(Dir / "home/.bash_profile"));
}

} // namespace
} // namespace lumaquill
