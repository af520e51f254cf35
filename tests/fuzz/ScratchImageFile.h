#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaquill::fuzz {

// One file in a private folder under TMPDIR (or /tmp) that each input is
// written to, for code that loads images by path as the program does. The
// folder and file are removed when the process ends normally.
class ScratchImageFile {
public:
    ScratchImageFile();
    ~ScratchImageFile();

    ScratchImageFile(const ScratchImageFile&) = delete;
    ScratchImageFile& operator=(const ScratchImageFile&) = delete;

    // Replaces the file's contents with the bytes; returns its path.
    const std::string& Write(const uint8_t* data, size_t size);

private:
    std::string Folder;
    std::string Path;
};

} // namespace lumaquill::fuzz
