#include "cli/commands/InfoCommand.h"

#include "cli/commands/CommandOpening.h"
#include "cli/commands/ExitStatus.h"
#include "cli/options/InfoOptions.h"
#include "cli/options/UsageText.h"
#include "cli/steps/OutputFile.h"
#include "cli/steps/PictureChoice.h"
#include "cli/terminal/CliIo.h"
#include "cli/terminal/DisplayText.h"
#include "cli/terminal/JsonText.h"
#include "flows/StegFlows.h"

#include <optional>
#include <ostream>
#include <sstream>

namespace lumaquill {

namespace {

// Encode never chooses EmbedMode 4 for a picture; only noise containers use it.
constexpr size_t kNoiseOnlyMode = 4;

// Nothing when the file holds no picture at all; the refusal says why.
std::optional<InfoCommand::Facts> GatherFacts(const std::string& path, std::string& refusal)
{
    StegFlows flows;
    flows.LoadCover(path);
    if (!flows.HasPicture()) {
        refusal = PictureChoice::Refusal(flows, path, false);
        return std::nullopt;
    }
    return flows.Facts(path);
}

void AppendQuestionsText(std::ostringstream& out, const InfoCommand::Facts& facts)
{
    if (facts.Questions.empty()) {
        out << "Questions: none\n";
        return;
    }
    out << "Questions:\n";
    for (size_t k = 0; k < facts.Questions.size(); ++k) {
        out << "  #" << k + 1 << ": " << DisplayText::ForTerminal(facts.Questions[k].first) << '\n'
            << "      Hint: " << DisplayText::ForTerminal(facts.Questions[k].second) << '\n';
    }
}

// Nothing in an image tells a sealed payload from another without the key;
// only Quizlock images are known not to be sealed (sealing is for passwords).
// The same holds for stealth images, which are sealed by their nature.
const char* SealedText(const InfoCommand::Facts& facts)
{
    return facts.Questions.empty() ? "unknown until opened" : "no";
}

bool IsStealthJpegCover(const InfoCommand::Facts& facts)
{
    return facts.JpegQuality > 0;
}

// kind names the sizes ("Stealth JPEG"), made names what they are sizes of
// ("a stealth JPEG").
void AppendSizeList(std::ostringstream& out, const char* kind, const char* made, const InfoCommand::Facts& facts)
{
    if (facts.StealthLargest == 0) {
        out << kind << " sizes: none; the picture is too small for " << made << '\n';
        return;
    }
    out << kind << " sizes in bytes (compressed, with the file's name):\n"
        << "  safe: " << facts.StealthSafe << " (detectors stay near chance)\n"
        << "  largest: " << facts.StealthLargest << " (detectable above the safe size)\n";
}

void AppendJpegText(std::ostringstream& out, const InfoCommand::Facts& facts)
{
    out << "JPEG quality: about " << facts.JpegQuality << " (from its luminance table)\n"
        << "Chroma subsampling: " << facts.JpegSubsampling << '\n';
    AppendSizeList(out, "Stealth JPEG", "a stealth JPEG", facts);
}

void AppendStealthSizesText(std::ostringstream& out, const InfoCommand::Facts& facts)
{
    if (IsStealthJpegCover(facts)) {
        AppendJpegText(out, facts);
        return;
    }
    if (!facts.Lossless) {
        out << "Stealth sizes: none; a lossy picture cannot be a stealth cover\n";
        return;
    }
    AppendSizeList(out, "Stealth", "a stealth image", facts);
}

const char* FormatNote(const InfoCommand::Facts& facts)
{
    if (facts.Lossless)
        return "";
    return IsStealthJpegCover(facts) ? " (lossy: it holds data only as a stealth JPEG)"
                                     : " (lossy: a cover only, it cannot be decoded)";
}

// Null for a lossy picture, which no stealth image can be made of.
void AppendStealthSizeJson(std::ostringstream& out, const char* key, const InfoCommand::Facts& facts, uint64_t size)
{
    out << "  \"" << key << "\": ";
    if (facts.Lossless || IsStealthJpegCover(facts))
        out << size;
    else
        out << "null";
    out << ",\n";
}

} // namespace

InfoCommand::InfoCommand(CliIo& io)
    : Io(io)
{
}

int InfoCommand::Execute(const std::vector<std::string>& args)
{
    int status = ExitOk;
    const std::optional<InfoOptions> options = CommandOpening::Open<InfoOptions>(Io, "info", args, status);
    return options ? Report(*options) : status;
}

int InfoCommand::Report(const InfoOptions& options)
{
    std::string refusal;
    std::optional<Facts> facts = GatherFacts(options.ImagePath, refusal);
    if (!facts) {
        Io.Err << refusal << '\n' << std::flush;
        return ExitFailure;
    }
    Io.Out << (options.Json ? AsJson(*facts) : AsText(*facts));
    return OutputFile::Finish(Io.Out, Io.Err);
}

std::string InfoCommand::AsText(const Facts& facts)
{
    std::ostringstream out;
    out << "Image: " << DisplayText::ForTerminal(facts.Path) << '\n'
        << "Format: " << facts.Format << FormatNote(facts) << '\n'
        << "Size: " << facts.Width << " x " << facts.Height << " pixels\n"
        << "Bits per pixel: " << facts.BitsPerPixel << '\n';
    if (!facts.Usable) {
        out << "Not usable as a container: it needs 24 or 32 bits per pixel.\n";
        return out.str();
    }
    if (facts.LargestPayload > 0)
        out << "Largest payload: " << facts.LargestPayload << " bytes (compressed)\n";
    else
        out << "Largest payload: not fixed; the picture is too small for a reliable figure\n";
    out << "Capacity in bytes:\n";
    for (size_t mode = 0; mode < facts.Capacity.size(); ++mode) {
        out << "  mode " << mode << ": " << facts.Capacity[mode]
            << (mode == kNoiseOnlyMode ? " (used only by generated noise images)" : "") << '\n';
    }
    AppendStealthSizesText(out, facts);
    AppendQuestionsText(out, facts);
    out << "Sealed: " << SealedText(facts) << '\n' << "Stealth: " << SealedText(facts) << '\n';
    return out.str();
}

std::string InfoCommand::AsJson(const Facts& facts)
{
    std::ostringstream out;
    out << "{\n"
        << "  \"image\": " << JsonText::Quote(facts.Path) << ",\n"
        << "  \"format\": " << JsonText::Quote(facts.Format) << ",\n"
        << "  \"lossless\": " << (facts.Lossless ? "true" : "false") << ",\n"
        << "  \"width\": " << facts.Width << ",\n"
        << "  \"height\": " << facts.Height << ",\n"
        << "  \"bits_per_pixel\": " << facts.BitsPerPixel << ",\n"
        << "  \"usable\": " << (facts.Usable ? "true" : "false") << ",\n";
    if (facts.Usable) {
        out << "  \"largest_payload\": ";
        if (facts.LargestPayload > 0)
            out << facts.LargestPayload;
        else
            out << "null";
        out << ",\n"
            << "  \"noise_only_mode\": " << kNoiseOnlyMode << ",\n";
        AppendStealthSizeJson(out, "stealth_safe_size", facts, facts.StealthSafe);
        AppendStealthSizeJson(out, "stealth_largest_size", facts, facts.StealthLargest);
        if (IsStealthJpegCover(facts))
            out << "  \"jpeg_quality\": " << facts.JpegQuality << ",\n"
                << "  \"jpeg_subsampling\": " << JsonText::Quote(facts.JpegSubsampling) << ",\n";
    }
    out << "  \"capacity\": [";
    for (size_t mode = 0; facts.Usable && mode < facts.Capacity.size(); ++mode)
        out << (mode ? ", " : "") << facts.Capacity[mode];
    out << "],\n  \"questions\": [";
    for (size_t k = 0; k < facts.Questions.size(); ++k) {
        out << (k ? "," : "") << "\n    {\"question\": " << JsonText::Quote(facts.Questions[k].first)
            << ", \"hint\": " << JsonText::Quote(facts.Questions[k].second) << "}";
    }
    out << (facts.Questions.empty() ? "]" : "\n  ]");
    if (facts.Usable) {
        out << ",\n  \"sealed\": " << JsonText::Quote(SealedText(facts))
            << ",\n  \"stealth\": " << JsonText::Quote(SealedText(facts));
    }
    out << "\n}\n";
    return out.str();
}

} // namespace lumaquill
