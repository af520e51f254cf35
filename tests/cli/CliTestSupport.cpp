#include "cli/CliTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace lumaquill::test {

namespace fs = std::filesystem;

namespace {

void Put16(std::string& out, uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

uint32_t Get32(const std::string& bytes, size_t at)
{
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 | uint32_t(uint8_t(bytes[at + 2])) << 16
        | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

std::string ShellQuote(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "lumaquill-cli-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    Root = pattern;
}

TempDir::~TempDir()
{
    std::error_code error;
    fs::remove_all(Root, error);
}

void WriteBmp24(const std::string& path, int32_t width, int32_t height)
{
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(height);
    std::string file = "BM";
    Put32(file, 54 + pixelBytes);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, static_cast<uint32_t>(width));
    Put32(file, static_cast<uint32_t>(height));
    Put16(file, 1);
    Put16(file, 24);
    for (uint32_t field : { 0u, pixelBytes, 2835u, 2835u, 0u, 0u })
        Put32(file, field);
    for (int32_t row = 0; row < height; ++row) {
        std::string line;
        for (int32_t x = 0; x < width; ++x) {
            line += static_cast<char>((x * 7 + row * 13) & 0xFF);
            line += static_cast<char>((x * 3 + row * 5 + 40) & 0xFF);
            line += static_cast<char>((x + row * 2 + 80) & 0xFF);
        }
        line.resize(stride, '\0');
        file += line;
    }
    WriteFile(path, file);
}

void WriteBmp8(const std::string& path, int32_t width, int32_t height)
{
    constexpr uint32_t kColours = 2;
    constexpr uint32_t kPixelOffset = 14 + 40 + kColours * 4;
    const uint32_t stride = (static_cast<uint32_t>(width) + 3) & ~3u;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(height);
    std::string file = "BM";
    Put32(file, kPixelOffset + pixelBytes);
    Put32(file, 0);
    Put32(file, kPixelOffset);
    Put32(file, 40);
    Put32(file, static_cast<uint32_t>(width));
    Put32(file, static_cast<uint32_t>(height));
    Put16(file, 1);
    Put16(file, 8);
    for (uint32_t field : { 0u, pixelBytes, 2835u, 2835u, kColours, 0u })
        Put32(file, field);
    Put32(file, 0x00000000);
    Put32(file, 0x00FFFFFF);
    for (uint32_t i = 0; i < pixelBytes; ++i)
        file += static_cast<char>(i % 2);
    WriteFile(path, file);
}

std::pair<int32_t, int32_t> BmpSize(const std::string& path)
{
    std::string bytes = ReadFile(path);
    if (bytes.size() < 26 || bytes.compare(0, 2, "BM") != 0)
        return { 0, 0 };
    return { static_cast<int32_t>(Get32(bytes, 18)), static_cast<int32_t>(Get32(bytes, 22)) };
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Incompressible(size_t length, uint32_t seed)
{
    std::string bytes;
    uint64_t state = seed;
    while (bytes.size() < length) {
        // Knuth's MMIX multiplier; the high bits are well mixed.
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        bytes += static_cast<char>(state >> 56);
    }
    return bytes;
}

std::string CliExecutable()
{
    if (const char* fromCtest = std::getenv("LUMAQUILL_CLI"); fromCtest && *fromCtest)
        return fromCtest;
    fs::path self = fs::read_symlink("/proc/self/exe");
    return (self.parent_path() / "../../src/cli/lumaquill-cli").lexically_normal().string();
}

CliRun RunCli(
    const std::vector<std::string>& args, const std::string& cwd, const std::string& input, const std::string& stdoutTo)
{
    TempDir io;
    WriteFile(io / "in", input);
    std::string command = "cd " + ShellQuote(cwd) + " && " + ShellQuote(CliExecutable());
    for (const std::string& arg : args)
        command += " " + ShellQuote(arg);
    command += " <" + ShellQuote(io / "in") + " >" + ShellQuote(stdoutTo.empty() ? io / "out" : stdoutTo) + " 2>"
        + ShellQuote(io / "err");
    int status = std::system(command.c_str());
    CliRun run;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = ReadFile(io / "out");
    run.Err = ReadFile(io / "err");
    return run;
}

std::optional<std::string> ScriptedTerminal::ReadLine(const std::string& prompt, bool echo)
{
    Prompts.push_back(prompt);
    Echoes.push_back(echo);
    if (Next >= Lines.size())
        return std::nullopt;
    return Lines[Next++];
}

} // namespace lumaquill::test
