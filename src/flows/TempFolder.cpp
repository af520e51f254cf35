#include "flows/TempFolder.h"

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lumaquill {

#ifdef _WIN32

std::optional<std::string> PrivateTempFolder()
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        return std::nullopt;
    folder /= "lumaquill";
    std::filesystem::create_directory(folder, error);
    if (error || std::filesystem::symlink_status(folder).type() != std::filesystem::file_type::directory)
        return std::nullopt;
    return folder.string() + "\\";
}

bool PrepareTempFile(const std::string& path)
{
    std::error_code error;
    const auto type = std::filesystem::symlink_status(path, error).type();
    if (type == std::filesystem::file_type::symlink)
        std::filesystem::remove(path, error);
    return type == std::filesystem::file_type::not_found || type == std::filesystem::file_type::regular
        || type == std::filesystem::file_type::symlink;
}

#else

namespace {

constexpr mode_t kPrivateMode = 0700;

std::string SystemTempFolder()
{
    const char* fromEnvironment = std::getenv("TMPDIR");
    return fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp";
}

// Opened without following a link, so the checks and the mode change apply
// to the folder itself: a real directory owned by this user, which only this
// user may enter (a restrictive umask may have taken bits off a new folder,
// and an old one of ours may have been opened up).
bool MakePrivate(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info { };
    bool ok = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
    if (ok && (info.st_mode & 07777) != kPrivateMode)
        ok = ::fchmod(fd, kPrivateMode) == 0;
    ::close(fd);
    return ok;
}

} // namespace

std::optional<std::string> PrivateTempFolder()
{
    const std::string folder = SystemTempFolder() + "/lumaquill-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), kPrivateMode) != 0 && errno != EEXIST)
        return std::nullopt;
    if (!MakePrivate(folder))
        return std::nullopt;
    return folder + "/";
}

bool PrepareTempFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == ELOOP && ::unlink(path.c_str()) == 0)
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat info { };
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
}

#endif

} // namespace lumaquill
