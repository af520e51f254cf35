#include "cli/commands/EncodeCommand.h"

#include "cli/commands/CommandOpening.h"
#include "cli/commands/ExitStatus.h"
#include "cli/options/EncodeOptions.h"
#include "cli/options/UsageText.h"
#include "cli/steps/OutputFile.h"
#include "cli/steps/PasswordStep.h"
#include "cli/steps/PictureChoice.h"
#include "cli/steps/QuizlockStep.h"
#include "cli/terminal/CliIo.h"
#include "cli/terminal/DisplayText.h"
#include "cli/terminal/Quoted.h"
#include "cli/terminal/StderrMessageSink.h"
#include "cli/terminal/TerminalLine.h"
#include "cli/terminal/TerminalProgressFactory.h"
#include "core/MessageText.h"
#include "flows/Payload.h"
#include "flows/StegFlows.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sodium.h>

namespace lumaquill {

namespace {

// The payload file's full path, as the open-file prompt gives it.
std::string FullPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// "Could not read the chosen file. "PATH": REASON."
std::string CouldNotRead(const std::string& path, const std::string& reason)
{
    return std::string(message::kCannotRead) + " " + Quoted(path) + ": " + reason + ".";
}

} // namespace

EncodeCommand::EncodeCommand(CliIo& io)
    : Io(io)
{
}

int EncodeCommand::Execute(const std::vector<std::string>& args)
{
    int status = ExitOk;
    const std::optional<EncodeOptions> options = CommandOpening::Open<EncodeOptions>(Io, "encode", args, status);
    return options ? Encode(*options) : status;
}

// The dialog's order: payload, container, password, then the run and the save.
int EncodeCommand::Encode(const EncodeOptions& options)
{
    if (options.Key == KeySource::Prompt && !Io.Terminal)
        return UsageText::Report(Io.Err, "encode",
            "no key: give --password, --password-stdin or --quiz, or run on a terminal", EncodeOptions::Usage());
    TerminalLine line(Io.Err);
    StderrMessageSink messages(Io.Err, Io.ErrIsTerminal ? &line : nullptr);
    TerminalProgressFactory progress(line);
    StegFlows flows;
    flows.SetFrontend({ &messages, nullptr, Io.ErrIsTerminal ? &progress : nullptr, nullptr });

    // An existing target is refused before any work is done, and again,
    // without a race, when the file is put in place.
    if (!OutputFile::IsStdout(options.OutPath)) {
        const std::string problem = OutputFile::Problem(options.OutPath, options.Force);
        if (!problem.empty()) {
            messages.ShowMessage(problem, MessageIcon::Stop);
            return ExitFailure;
        }
    }
    EncodeRequest request;
    KeyEntry key;
    // A payload file is judged by its kind and size, against the container
    // too, before a byte of it is read.
    if (!CheckPayloadFile(options, messages) || !LoadContainer(options, flows, messages)
        || !PayloadFitsContainer(options, flows, messages) || !ReadPayload(options, request, messages))
        return ExitFailure;
    if (!TakeKey(options, key))
        return ExitUsage;
    request.Noise = options.Noise;
    request.Shrink = options.Shrink;
    request.OutFormat = options.OutFormat;
    request.Stealth = options.Stealth;
    const EncodeResult result = flows.Encode(std::move(request), key);
    if (!result.Encoded()) {
        ExplainNoRoom(flows, options);
        return ExitFailure;
    }
    return Save(flows, options, messages);
}

// "Could not find a suitable encoder." alone does not say what would help.
void EncodeCommand::ExplainNoRoom(const StegFlows& flows, const EncodeOptions& options)
{
    const uint32_t largest = flows.LargestPayload();
    if (options.Stealth || options.Noise || !flows.IsUsableContainer() || largest == 0 || PayloadBytes <= largest)
        return;
    Io.Err << "The data is " << PayloadBytes << " bytes once compressed; this image takes at most " << largest
           << ". Use --noise or a larger picture.\n"
           << std::flush;
}

int EncodeCommand::Save(StegFlows& flows, const EncodeOptions& options, MessageSink& messages)
{
    if (OutputFile::IsStdout(options.OutPath)) {
        const std::optional<std::vector<uint8_t>> bytes = flows.EncodedFile(options.OutFormat);
        if (bytes)
            Io.Out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
        return OutputFile::Finish(Io.Out, Io.Err);
    }
    const std::string reason = flows.SaveEncoded(options.OutPath, options.OutFormat, options.Force);
    if (reason.empty())
        return ExitOk;
    messages.ShowMessage(OutputFile::CouldNotWrite(options.OutPath, reason), MessageIcon::Exclamation);
    return ExitFailure;
}

bool EncodeCommand::CheckPayloadFile(const EncodeOptions& options, MessageSink& messages)
{
    if (options.Kind == EncodeOptions::PayloadKind::Text)
        return true;
    uint64_t length = 0;
    const std::string reason = PayloadFileProblem(options.PayloadArg, length);
    if (reason.empty())
        return true;
    messages.ShowMessage(CouldNotRead(options.PayloadArg, reason), MessageIcon::Stop);
    return false;
}

// A decode restores at most DecodableBytes of the container's capacity,
// however well the data compresses, so the file's size alone can rule a
// cover out. A noise image is sized for the payload instead.
bool EncodeCommand::PayloadFitsContainer(const EncodeOptions& options, const StegFlows& flows, MessageSink& messages)
{
    if (options.Kind == EncodeOptions::PayloadKind::Text || options.Noise)
        return true;
    uint64_t length = 0;
    if (!PayloadFileProblem(options.PayloadArg, length).empty())
        return true;
    const uint64_t decodable = flows.DecodableBytes();
    if (length <= decodable)
        return true;
    messages.ShowMessage(TooLargeToDecode(length, decodable), MessageIcon::Stop);
    return false;
}

bool EncodeCommand::ReadPayload(const EncodeOptions& options, EncodeRequest& request, MessageSink& messages)
{
    std::optional<std::vector<uint8_t>> payload;
    std::optional<std::vector<uint8_t>> bytes;
    if (options.Kind == EncodeOptions::PayloadKind::Text) {
        payload = CompressPayload(options.PayloadArg);
    } else {
        std::string reason;
        bytes = ReadWholeFile(options.PayloadArg, reason);
        if (!bytes) {
            messages.ShowMessage(CouldNotRead(options.PayloadArg, reason), MessageIcon::Stop);
            return false;
        }
        if (options.Kind == EncodeOptions::PayloadKind::TextFile)
            WarnOfZeroByte(*bytes, options.PayloadArg);
        payload = CompressPayload(bytes->data(), bytes->size());
    }
    if (!payload) {
        messages.ShowMessage(message::kCompressFailed, MessageIcon::Exclamation);
        return false;
    }
    request.Payload = std::move(*payload);
    PayloadBytes = request.Payload.size();
    request.OriginalSize = bytes ? bytes->size() : options.PayloadArg.size();
    if (options.Kind == EncodeOptions::PayloadKind::File)
        request.Name = FullPath(options.PayloadArg);
    return true;
}

// A decoded text ends at its first zero byte; the rest of such a file
// would be lost without a word.
void EncodeCommand::WarnOfZeroByte(const std::vector<uint8_t>& bytes, const std::string& path)
{
    if (std::find(bytes.begin(), bytes.end(), uint8_t { 0 }) == bytes.end())
        return;
    Io.Err << "Warning: " << Quoted(path)
           << " contains a zero byte; decoding gives the text back only up to it. Use --file for binary data.\n"
           << std::flush;
}

// The noise container replaces whatever was chosen, so nothing is loaded then.
bool EncodeCommand::LoadContainer(const EncodeOptions& options, StegFlows& flows, MessageSink& messages)
{
    if (options.Noise)
        return true;
    flows.LoadCover(options.ContainerPath);
    if (flows.IsUsableContainer())
        return true;
    messages.ShowMessage(PictureChoice::Refusal(flows, options.ContainerPath, false), MessageIcon::Stop);
    return false;
}

bool EncodeCommand::TakeKey(const EncodeOptions& options, KeyEntry& key)
{
    key.Speed = options.Speed;
    if (options.Key == KeySource::Quiz) {
        key.Digests = QuizlockStep::Setup(options.Quizzes, key.Questions);
        // With no question stored the key would be the empty text, which no
        // decode accepts: such an image could never be read back.
        if (key.Questions.LeadingUsed() == 0) {
            Io.Err << message::kEnterPassword << '\n' << std::flush;
            return false;
        }
        return true;
    }
    std::optional<std::string> password = PasswordStep::Obtain(options.Key, options.Password, true, Io);
    if (!password)
        return false;
    key.Digests = KeyDigests::FromText(*password);
    if (options.Seal || options.Stealth) {
        key.Seal = options.Seal;
        key.Password = SecretBytes(*password);
    }
    sodium_memzero(password->data(), password->size());
    return true;
}

} // namespace lumaquill
