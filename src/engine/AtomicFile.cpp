#include "engine/AtomicFile.h"

#include <atomic>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace lumaquill {

namespace {

namespace fs = std::filesystem;

// Tries this many names before giving up on a folder full of leftovers.
constexpr int kNameAttempts = 100;

// A hidden name beside the target, unique within this process and, through
// the process id, unlikely to meet another process's.
fs::path TemporaryNameFor(const fs::path& target, int attempt)
{
    static std::atomic<unsigned> counter { 0 };
#ifdef _WIN32
    const unsigned long process = 0;
#else
    const auto process = static_cast<unsigned long>(::getpid());
#endif
    std::string name = "." + target.filename().string() + ".part-" + std::to_string(process) + "-"
        + std::to_string(counter.fetch_add(1)) + "-" + std::to_string(attempt);
    return target.parent_path() / name;
}

#ifdef _WIN32

bool WriteNewFile(const fs::path& path, const uint8_t* data, size_t size)
{
    if (fs::exists(path))
        return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    if (file)
        return true;
    std::error_code ignored;
    fs::remove(path, ignored);
    return false;
}

#else

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Creates the file exclusively (never through a link) and writes it whole;
// a file it created but could not complete is removed again.
bool WriteNewFile(const fs::path& path, const uint8_t* data, size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, data, size) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (written && closed)
        return true;
    ::unlink(path.c_str());
    return false;
}

#endif

} // namespace

bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size)
{
    const fs::path target(path);
    if (!target.has_filename())
        return false;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const fs::path temporary = TemporaryNameFor(target, attempt);
        std::error_code probe;
        if (fs::symlink_status(temporary, probe).type() != fs::file_type::not_found)
            continue;
        if (!WriteNewFile(temporary, data, size))
            return false;
        std::error_code renameError;
        fs::rename(temporary, target, renameError);
        if (!renameError)
            return true;
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return false;
}

} // namespace lumaquill
