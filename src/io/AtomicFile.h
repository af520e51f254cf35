#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaquill {

// What to do when the target already exists (as a regular file).
enum class ExistingFile {
    Replace, // the new content replaces it; its permission bits are kept
    Keep, // the write is refused and the file stays as it was
};

// The outcome of a write; Reason is the system's explanation of a failure
// ("Permission denied", "No space left on device", ...).
struct FileWriteResult {
    bool Written = false;
    std::string Reason;
    explicit operator bool() const { return Written; }
};

// Writes a whole file so that the target holds either what it held before or
// the complete new content, never a part: the bytes go to a new file in the
// target's folder (created exclusively with mode 0600, never through a link,
// removed on failure and when SIGINT, SIGTERM or SIGHUP ends the process),
// which is flushed and then renamed over the target.
//
// Only regular files are ever replaced: an existing target that is a
// symbolic link, a folder, a device or a FIFO is refused. A replaced file
// keeps its permission bits; a new one gets 0666 less the umask.
//
// The null device is the one device taken as a target: it is a sink, so the
// bytes are taken as written and nothing is created or replaced.
FileWriteResult WriteFileAtomically(
    const std::string& path, const uint8_t* data, size_t size, ExistingFile existing = ExistingFile::Replace);

// True when path itself (not a link to it) is the system's null device,
// the character device that /dev/null is.
bool IsNullDevice(const std::string& path);

} // namespace lumaquill
