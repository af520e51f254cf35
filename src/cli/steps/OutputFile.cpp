#include "cli/steps/OutputFile.h"

#include "cli/commands/ExitStatus.h"
#include "cli/terminal/Quoted.h"
#include "core/MessageText.h"
#include "io/AtomicFile.h"

#include <filesystem>
#include <ostream>

namespace lumaquill {

namespace fs = std::filesystem;

std::string OutputFile::Problem(const std::string& path, bool force)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || !fs::exists(status) || IsNullDevice(path))
        return {};
    if (!fs::is_regular_file(status))
        return CouldNotWrite(path, message::kNotARegularFile);
    if (!force)
        return Quoted(path) + " already exists; use --force to replace it.";
    return {};
}

std::string OutputFile::Write(const std::string& path, const std::string& bytes, bool force)
{
    const FileWriteResult written = WriteFileAtomically(path, reinterpret_cast<const uint8_t*>(bytes.data()),
        bytes.size(), force ? ExistingFile::Replace : ExistingFile::Keep);
    return written ? std::string() : CouldNotWrite(path, written.Reason);
}

std::string OutputFile::CouldNotWrite(const std::string& path, const std::string& reason)
{
    return message::kCouldNotWrite + Quoted(path) + ": " + reason + ".";
}

int OutputFile::Finish(std::ostream& out, std::ostream& err)
{
    out.flush();
    if (out)
        return ExitOk;
    err << message::kStdoutFailed << '\n' << std::flush;
    return ExitFailure;
}

} // namespace lumaquill
