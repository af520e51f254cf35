#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumaquill::test {

// A folder of the test's own under the system's temporary folder, removed
// with everything in it when the object ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return Root; }
    // Root + "/" + name, its folder created.
    std::string File(const std::string& name) const;

private:
    std::string Root;
};

// Points TMPDIR somewhere for the lifetime of the object.
class ScopedTmpDir {
public:
    explicit ScopedTmpDir(const std::string& path);
    ~ScopedTmpDir();
    ScopedTmpDir(const ScopedTmpDir&) = delete;
    ScopedTmpDir& operator=(const ScopedTmpDir&) = delete;

private:
    std::optional<std::string> Saved;
};

// Deterministic bytes from a small xorshift generator (never the runtime
// generator, whose draws are part of the format), each in [low, 255].
std::vector<uint8_t> NoiseBytes(size_t count, uint32_t seed, uint8_t low = 0);

// A bottom-up bitmap file of the given depth (24 or 32) with pixel offset 54,
// no colour table, and deterministic pixels (padding bytes included).
void WriteBitmap(const std::string& path, int32_t width, int32_t height, uint16_t bits, uint32_t seed);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
bool Exists(const std::string& path);

// A valid zlib stream of exactly size bytes (stored blocks; size >= 11).
std::vector<uint8_t> StoredStream(size_t size, uint32_t seed);

std::string Hex(const uint8_t* data, size_t size);

} // namespace lumaquill::test
