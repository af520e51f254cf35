#include "support/TestFiles.h"

#include "core/ByteOrder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <zlib.h>

namespace lumaquill::test {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "lumaquill-flows-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    Root = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::permissions(Root, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(Root, ignored);
}

std::string ScratchFolder::File(const std::string& name) const
{
    const fs::path path = fs::path(Root) / name;
    fs::create_directories(path.parent_path());
    return path.string();
}

ScopedTmpDir::ScopedTmpDir(const std::string& path)
{
    if (const char* old = std::getenv("TMPDIR"))
        Saved = old;
    ::setenv("TMPDIR", path.c_str(), 1);
}

ScopedTmpDir::~ScopedTmpDir()
{
    if (Saved)
        ::setenv("TMPDIR", Saved->c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

std::vector<uint8_t> NoiseBytes(size_t count, uint32_t seed, uint8_t low)
{
    std::vector<uint8_t> bytes(count);
    uint32_t state = seed ? seed : 0x9E3779B9u;
    const uint32_t span = 256u - low;
    for (uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<uint8_t>(low + (state >> 8) % span);
    }
    return bytes;
}

void WriteBitmap(const std::string& path, int32_t width, int32_t height, uint16_t bits, uint32_t seed)
{
    const uint32_t stride = ((uint32_t(bits) * uint32_t(width) + 31) / 32) * 4;
    const uint32_t imageSize = stride * uint32_t(height);
    std::vector<uint8_t> file(54);
    file[0] = 'B';
    file[1] = 'M';
    Store32Le(&file[2], 54 + imageSize);
    Store32Le(&file[10], 54);
    Store32Le(&file[14], 40);
    Store32Le(&file[18], static_cast<uint32_t>(width));
    Store32Le(&file[22], static_cast<uint32_t>(height));
    Store16Le(&file[26], 1);
    Store16Le(&file[28], bits);
    Store32Le(&file[34], imageSize);
    const std::vector<uint8_t> pixels = NoiseBytes(imageSize, seed);
    file.insert(file.end(), pixels.begin(), pixels.end());
    WriteBytes(path, file);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return fs::symlink_status(path, ignored).type() != fs::file_type::not_found;
}

std::vector<uint8_t> StoredStream(size_t size, uint32_t seed)
{
    // Level 0: a 2-byte header, one 5-byte stored-block header per 65535
    // bytes and a 4-byte check value around the data.
    const std::vector<uint8_t> data = NoiseBytes(size - 11, seed);
    std::vector<uint8_t> out(size + 64);
    uLongf produced = out.size();
    if (compress2(out.data(), &produced, data.data(), data.size(), 0) != Z_OK || produced != size)
        throw std::runtime_error("stored stream of unexpected size");
    out.resize(produced);
    return out;
}

std::string Hex(const uint8_t* data, size_t size)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

} // namespace lumaquill::test
