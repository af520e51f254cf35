#include "cli/steps/DecodeSavePrompt.h"

#include "cli/options/DecodeOptions.h"
#include "cli/steps/OutputFile.h"
#include "cli/terminal/Quoted.h"
#include "core/MessageSink.h"

#include <filesystem>

namespace lumaquill {

namespace fs = std::filesystem;

namespace {

// The core offers a bare name already; this is the last line of defence
// against a name that would leave the chosen folder.
bool IsBareName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\0') == std::string::npos;
}

} // namespace

DecodeSavePrompt::DecodeSavePrompt(const DecodeOptions& options, MessageSink& messages, std::ostream& out)
    : OutPath(options.OutPath)
    , OutDir(options.OutDir)
    , Force(options.Force)
    , Messages(messages)
    , Out(out)
{
}

std::ostream* DecodeSavePrompt::SaveStream()
{
    return OutputFile::IsStdout(OutPath) ? &Out : nullptr;
}

std::optional<std::string> DecodeSavePrompt::AskSavePath(const std::string& offeredName)
{
    std::optional<std::string> target = TargetFor(offeredName);
    if (!target)
        return std::nullopt;
    std::error_code error;
    fs::file_status status = fs::symlink_status(*target, error);
    if (fs::is_directory(status))
        return Decline(Quoted(*target) + " is a folder; the decoded file was not saved.");
    const std::string problem = OutputFile::Problem(*target, Force);
    if (!problem.empty())
        return Decline(problem);
    return target;
}

std::optional<std::string> DecodeSavePrompt::TargetFor(const std::string& offeredName)
{
    if (!OutPath.empty())
        return OutPath;
    if (!IsBareName(offeredName))
        return Decline("The decoded file's name " + Quoted(offeredName) + " is not usable; use --out FILE.");
    if (OutDir.empty())
        return offeredName;
    std::error_code error;
    if (!fs::is_directory(OutDir, error))
        return Decline("There is no folder " + Quoted(OutDir) + "; the decoded file was not saved.");
    return (fs::path(OutDir) / offeredName).string();
}

std::optional<std::string> DecodeSavePrompt::Decline(const std::string& message)
{
    Messages.ShowMessage(message, MessageIcon::Stop);
    return std::nullopt;
}

} // namespace lumaquill
