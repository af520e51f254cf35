#include "io/AtomicFile.h"

#include "core/MessageText.h"
#include "io/PendingTempFiles.h"

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lumaquill {

namespace {

namespace fs = std::filesystem;

// Tries this many names before giving up on a folder full of leftovers.
constexpr int kNameAttempts = 100;

FileWriteResult Failure(std::string reason)
{
    return { false, std::move(reason) };
}

FileWriteResult Failure(int error)
{
    return Failure(std::generic_category().message(error));
}

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

FileWriteResult WriteWhole(const fs::path& target, const uint8_t* data, size_t size, ExistingFile existing)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return Failure(message::kNotARegularFile);
    if (fs::exists(status) && existing == ExistingFile::Keep)
        return Failure(std::make_error_code(std::errc::file_exists).message());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const fs::path temporary = TemporaryNameFor(target, attempt);
        if (fs::exists(temporary, error))
            continue;
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (file)
            file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        file.close();
        if (file)
            fs::rename(temporary, target, error);
        if (file && !error)
            return { true, {} };
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return Failure(error ? error.message() : std::string("the file could not be written"));
    }
    return Failure(std::make_error_code(std::errc::file_exists).message());
}

#else

// The temporary file for the lifetime of one write: registered for removal
// on a fatal signal, and removed on every way out unless it was renamed.
class TemporaryFile {
public:
    ~TemporaryFile()
    {
        if (Fd >= 0)
            ::close(Fd);
        if (!Path.empty())
            ::unlink(Path.c_str());
        PendingTempFiles::Remove(Slot);
    }

    // False with errno set when no free name could be created.
    //
    // Each name is registered before the file is created, so no signal can
    // find the file there and not registered: one that arrives before the
    // open finds nothing to unlink yet. A name already taken is forgotten
    // again at once; it carries this process's id, so what stands under it
    // is a leftover of an earlier process that had the same id.
    bool Create(const fs::path& target)
    {
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            Path = TemporaryNameFor(target, attempt).string();
            Slot = PendingTempFiles::Add(Path.c_str());
            Fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (Fd >= 0)
                return true;
            const int error = errno;
            Release();
            errno = error;
            if (error != EEXIST)
                return false;
        }
        return false;
    }

    // Writes and flushes; errno set on failure.
    bool Fill(const uint8_t* data, size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::write(Fd, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                errno = written == 0 ? EIO : errno;
                return false;
            }
            data += written;
            size -= static_cast<size_t>(written);
        }
        return ::fsync(Fd) == 0;
    }

    // Once the file is in place it gets its final permission bits: until
    // then it stays 0600, so nobody else can open the data meanwhile.
    void Finish(mode_t mode)
    {
        ::fchmod(Fd, mode);
        ::close(Fd);
        Fd = -1;
    }

    // The name is no longer this write's to remove: the file is now the
    // target's, or it was never created.
    void Release()
    {
        Path.clear();
        PendingTempFiles::Remove(Slot);
        Slot = -1;
    }

    const std::string& Name() const { return Path; }

private:
    int Fd = -1;
    int Slot = -1;
    std::string Path;
};

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The permission bits the written file gets: a regular file keeps its own,
// a new file gets what the umask allows. Returns 0, an error number, or -1
// when the target exists but is not a regular file.
int FinalMode(const fs::path& target, ExistingFile existing, mode_t& mode)
{
    struct stat info = {};
    if (::lstat(target.c_str(), &info) != 0) {
        if (errno != ENOENT)
            return errno;
        mode = 0666 & ~CurrentUmask();
        return 0;
    }
    if (!S_ISREG(info.st_mode))
        return -1;
    if (existing == ExistingFile::Keep)
        return EEXIST;
    mode = info.st_mode & 0777;
    return 0;
}

// Hard links put the file in place only when no target exists; file systems
// without them fall back to a check and a rename.
int PlaceWithoutReplacing(TemporaryFile& temporary, const fs::path& target)
{
    if (::link(temporary.Name().c_str(), target.c_str()) == 0)
        return 0;
    const int error = errno;
    if (error != EPERM && error != ENOTSUP && error != EOPNOTSUPP && error != ENOSYS)
        return error;
    struct stat info = {};
    if (::lstat(target.c_str(), &info) == 0)
        return EEXIST;
    if (::rename(temporary.Name().c_str(), target.c_str()) != 0)
        return errno;
    temporary.Release();
    return 0;
}

FileWriteResult WriteWhole(const fs::path& target, const uint8_t* data, size_t size, ExistingFile existing)
{
    mode_t mode = 0;
    const int problem = FinalMode(target, existing, mode);
    if (problem < 0)
        return Failure(message::kNotARegularFile);
    if (problem > 0)
        return Failure(problem);
    TemporaryFile temporary;
    if (!temporary.Create(target) || !temporary.Fill(data, size))
        return Failure(errno);
    const int placed = existing == ExistingFile::Keep
        ? PlaceWithoutReplacing(temporary, target)
        : (::rename(temporary.Name().c_str(), target.c_str()) == 0 ? 0 : errno);
    if (placed != 0)
        return Failure(placed);
    temporary.Finish(mode);
    // After a hard link the temporary name is still there and goes with the
    // object; after a rename it no longer exists.
    if (existing == ExistingFile::Replace)
        temporary.Release();
    return { true, {} };
}

#endif

} // namespace

bool IsNullDevice(const std::string& path)
{
#ifdef _WIN32
    return path == "NUL";
#else
    struct stat target = {};
    struct stat null = {};
    return ::lstat(path.c_str(), &target) == 0 && ::stat("/dev/null", &null) == 0 && S_ISCHR(target.st_mode)
        && S_ISCHR(null.st_mode) && target.st_rdev == null.st_rdev;
#endif
}

FileWriteResult WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size, ExistingFile existing)
{
    if (IsNullDevice(path))
        return { true, {} };
    const fs::path target(path);
    if (!target.has_filename())
        return Failure(std::make_error_code(std::errc::is_a_directory).message());
    try {
        return WriteWhole(target, data, size, existing);
    } catch (const std::exception&) {
        return Failure(std::make_error_code(std::errc::not_enough_memory).message());
    }
}

} // namespace lumaquill
