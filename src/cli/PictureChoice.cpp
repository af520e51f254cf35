#include "cli/PictureChoice.h"

#include "cli/DisplayText.h"
#include "core/MessageText.h"
#include "flows/StegFlows.h"

namespace lumaquill {

namespace {

constexpr const char* kStandardOutput = "-";

std::string Quoted(const std::string& path)
{
    return "\"" + DisplayText::ForTerminal(path) + "\"";
}

} // namespace

std::optional<PictureFormat> PictureChoice::OutputFormat(const std::string& path, std::string& error)
{
    if (path == kStandardOutput)
        return PictureFormat::Png;
    if (std::optional<PictureFormat> format = OutputFormatForName(path))
        return format;
    if (IsLossyExtension(path))
        error = "cannot write " + Quoted(path)
            + ": lossy formats (JPEG, HEIC, AVIF) destroy hidden data; give --out a .png, .bmp or .webp name";
    else
        error = "cannot tell the format of " + Quoted(path) + ": give --out a .png, .bmp or .webp name";
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
