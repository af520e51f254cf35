#pragma once

#include "cli/terminal/TerminalInput.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumaquill::test {

// A folder of its own under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return Root; }
    std::string operator/(const std::string& name) const { return (Root / name).string(); }

private:
    std::filesystem::path Root;
};

// A 24-bit bottom-up bitmap file with a smooth pattern; widths that are not
// a multiple of four give padded rows.
void WriteBmp24(const std::string& path, int32_t width, int32_t height);
// An 8-bit bitmap file with a two-colour table: a picture, but no container.
void WriteBmp8(const std::string& path, int32_t width, int32_t height);
// Width and height from a bitmap file's information header; (0, 0) when unreadable.
std::pair<int32_t, int32_t> BmpSize(const std::string& path);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Bytes that zlib cannot shrink, the same on every run.
std::string Incompressible(size_t length, uint32_t seed);

// One run of the real executable.
struct CliRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};
// Runs lumaquill-cli with the arguments (no shell interpretation), the given
// standard input, and the working folder cwd; stdout and stderr captured.
// A shell exit status above 128 means the process died of a signal. With
// stdoutTo, standard output goes to that file (/dev/full, say) instead.
CliRun RunCli(const std::vector<std::string>& args, const std::string& cwd, const std::string& input = "",
    const std::string& stdoutTo = "");
// LUMAQUILL_CLI when ctest runs the tests, else the executable beside the
// test program in the build tree.
std::string CliExecutable();

// A terminal that answers with prepared lines and records its prompts.
class ScriptedTerminal : public TerminalInput {
public:
    explicit ScriptedTerminal(std::vector<std::string> lines)
        : Lines(std::move(lines))
    {
    }
    std::optional<std::string> ReadLine(const std::string& prompt, bool echo) override;

    std::vector<std::string> Prompts;
    std::vector<bool> Echoes;

private:
    std::vector<std::string> Lines;
    size_t Next = 0;
};

// The fixture of the tests that run the real executable: each test in a
// folder of its own that holds a 101 x 67 container, c.bmp (303 bytes of
// pixels a row, padded to 304).
class CliFolderTest : public ::testing::Test {
protected:
    void SetUp() override { WriteBmp24(Dir / "c.bmp", 101, 67); }

    CliRun Run(const std::vector<std::string>& args, const std::string& input = "")
    {
        return RunCli(args, Dir.Path().string(), input);
    }

    TempDir Dir;
};

} // namespace lumaquill::test
