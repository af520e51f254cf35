#include "cli/steps/PictureChoice.h"

#include "cli/terminal/Quoted.h"
#include "core/MessageText.h"
#include "flows/StegFlows.h"
#include "image/PictureFormatTable.h"

namespace lumaquill {

namespace {

constexpr const char* kStandardOutput = "-";

} // namespace

std::optional<PictureFormat> PictureChoice::OutputFormat(const std::string& path, std::string& error)
{
    if (path == kStandardOutput)
        return DefaultOutputFormat();
    if (std::optional<PictureFormat> format = OutputFormatForName(path))
        return format;
    const std::string advice = "give --out a " + PictureFormatTable::SavedExtensionList() + " name";
    if (IsLossyExtension(path))
        error = "cannot write " + Quoted(path) + ": lossy formats (" + PictureFormatTable::LossyNameList(", ")
            + ") destroy hidden data; " + advice;
    else
        error = "cannot tell the format of " + Quoted(path) + ": " + advice;
    return std::nullopt;
}

std::optional<PictureFormat> PictureChoice::StealthOutputFormat(const std::string& path, std::string& error)
{
    if (path != kStandardOutput && IsJpegOutputName(path))
        return PictureFormat::Jpeg;
    return OutputFormat(path, error);
}

std::string PictureChoice::Refusal(const StegFlows& flows, const std::string& path, bool forDecode)
{
    std::string detail;
    const LoadProblem problem = flows.CoverProblem(forDecode, detail);
    if (problem == LoadProblem::None)
        return {};
    const std::string reason = Quoted(path) + ": " + LoadProblemText(problem, detail) + ".";
    if (problem == LoadProblem::Lossy)
        return "Cannot decode " + reason;
    return std::string(message::kNoContainer) + " " + reason;
}

} // namespace lumaquill
