#include "cli/DecodeCommand.h"

#include "cli/CliIo.h"
#include "cli/DecodeOptions.h"
#include "cli/DecodeSavePrompt.h"
#include "cli/DisplayText.h"
#include "cli/ExitStatus.h"
#include "cli/OutputFile.h"
#include "cli/PasswordStep.h"
#include "cli/PictureChoice.h"
#include "cli/QuizlockStep.h"
#include "cli/StderrMessageSink.h"
#include "cli/TerminalLine.h"
#include "cli/TerminalProgressFactory.h"
#include "cli/UsageText.h"
#include "core/MessageText.h"
#include "engine/StegEngine.h"
#include "flows/DecodeFlow.h"
#include "flows/Payload.h"
#include "flows/StealthJpegFlow.h"
#include "keys/QuestionSet.h"
#include "seal/SecretBytes.h"

#include <memory>
#include <ostream>
#include <sodium.h>

namespace lumaquill {

DecodeCommand::DecodeCommand(CliIo& io)
    : Io(io)
{
}

int DecodeCommand::Execute(const std::vector<std::string>& args)
{
    std::string error;
    std::optional<DecodeOptions> options = DecodeOptions::Parse(args, error);
    if (!options)
        return UsageText::Report(Io.Err, "decode", error, DecodeOptions::Usage());
    if (options->Help) {
        Io.Out << DecodeOptions::Usage();
        return OutputFile::Finish(Io.Out, Io.Err);
    }
    return Decode(*options);
}

int DecodeCommand::Decode(const DecodeOptions& options)
{
    TerminalLine line(Io.Err);
    TerminalLine* progressLine = Io.ErrIsTerminal ? &line : nullptr;
    StderrMessageSink messages(Io.Err, progressLine);
    StderrMessageSink promptMessages(Io.Err, progressLine);
    TerminalProgressFactory progress(line);
    DecodeSavePrompt savePrompt(options, promptMessages, Io.Out);
    auto engine = std::make_unique<StegEngine>();
    engine->SetFrontend({ &messages, nullptr, progressLine ? &progress : nullptr, &savePrompt });

    engine->LoadContainer(options.ImagePath);
    if (engine->LastLoad.Ok() && engine->LastLoad.Format == PictureFormat::Jpeg)
        return DecodeJpeg(options, *engine, messages, savePrompt);
    if (std::string refusal = PictureChoice::Refusal(*engine, options.ImagePath, true); !refusal.empty()) {
        messages.ShowMessage(refusal, MessageIcon::Stop);
        return ExitFailure;
    }
    QuestionSet questions;
    bool questionsStored = ReadStoredQuestions(*engine, questions);
    SecretBytes password;
    std::optional<KeyDigests> key = TakeKey(options, questionsStored, questions, password);
    if (!key)
        return ExitUsage;
    std::string holder;
    int before = messages.Count();
    DecodeOutcome outcome = RunDecode(*engine, *key, holder, password.empty() ? nullptr : &password);
    return Deliver(options, outcome, holder, savePrompt.Declined(), messages.Count() != before);
}

// A JPEG holds only a stealth JPEG, read from its coefficients, never from
// the decoded pixels; it stores no questions.
int DecodeCommand::DecodeJpeg(const DecodeOptions& options, StegEngine& engine, const StderrMessageSink& messages,
    const DecodeSavePrompt& savePrompt)
{
    std::string reason;
    const std::optional<std::vector<uint8_t>> file = ReadWholeFile(options.ImagePath, reason);
    if (!file) {
        Io.Err << message::kCannotRead << " \"" << DisplayText::ForTerminal(options.ImagePath) << "\": " << reason
               << ".\n"
               << std::flush;
        return ExitFailure;
    }
    QuestionSet questions;
    SecretBytes password;
    if (!TakeKey(options, false, questions, password))
        return ExitUsage;
    std::string holder;
    const int before = messages.Count();
    const DecodeOutcome outcome = RunStealthJpegDecode(engine, *file, password, holder);
    if (outcome == NothingDecoded) {
        Io.Err << message::kStealthJpegNotOpened << '\n' << std::flush;
        return ExitFailure;
    }
    return Deliver(options, outcome, holder, savePrompt.Declined(), messages.Count() != before);
}

// The answers when the image stores questions, else a password; a key
// option of the other kind is a usage error.
std::optional<KeyDigests> DecodeCommand::TakeKey(
    const DecodeOptions& options, bool questionsStored, QuestionSet& questions, SecretBytes& password)
{
    bool passwordGiven = options.Key == KeySource::Password || options.Key == KeySource::PasswordStdin;
    if (questionsStored && passwordGiven) {
        for (int k = 0; k < questions.LeadingUsed(); ++k)
            QuizlockStep::PrintQuestion(Io.Err, questions, k);
        UsageText::Report(Io.Err, "decode", "this image is protected by questions: answer them with --answer",
            DecodeOptions::Usage());
        return std::nullopt;
    }
    if (questionsStored)
        return QuizlockStep::Answer(questions, options.Answers, Io);
    if (options.Key == KeySource::Answers || (options.Key == KeySource::Prompt && !Io.Terminal)) {
        UsageText::Report(Io.Err, "decode",
            options.Key == KeySource::Answers
                ? "this image stores no questions: give its password"
                : "no password: give --password or --password-stdin, or run on a terminal",
            DecodeOptions::Usage());
        return std::nullopt;
    }
    std::optional<std::string> typed = PasswordStep::Obtain(options.Key, options.Password, false, Io);
    if (!typed)
        return std::nullopt;
    password = SecretBytes(*typed);
    sodium_memzero(typed->data(), typed->size());
    return KeyDigests::FromText(password.View());
}

int DecodeCommand::Deliver(
    const DecodeOptions& options, int outcome, const std::string& holder, bool declined, bool failureShown)
{
    if (outcome == TextDecoded)
        return DeliverText(options, holder);
    if (outcome == FileWritten) {
        if (declined || failureShown)
            return ExitFailure;
        if (OutputFile::IsStdout(options.OutPath))
            return ExitOk;
        if (holder.empty())
            return ExitFailure;
        Io.Err << "Saved \"" << DisplayText::ForTerminal(holder) << "\".\n" << std::flush;
        return ExitOk;
    }
    Io.Err << message::kNothingDecoded << '\n' << std::flush;
    return ExitFailure;
}

// With --out FILE the text goes there, never to the terminal. A terminal
// shows the text with its control characters escaped, so that a hidden text
// cannot steer it (clear the screen, set the clipboard); a pipe gets the
// exact bytes.
int DecodeCommand::DeliverText(const DecodeOptions& options, const std::string& text)
{
    if (options.OutPath.empty() || OutputFile::IsStdout(options.OutPath)) {
        const std::string shown = Io.OutIsTerminal ? DisplayText::TextForTerminal(text) : text;
        Io.Out.write(shown.data(), static_cast<std::streamsize>(shown.size()));
        return OutputFile::Finish(Io.Out, Io.Err);
    }
    std::string problem = OutputFile::Problem(options.OutPath, options.Force);
    if (problem.empty())
        problem = OutputFile::Write(options.OutPath, text, options.Force);
    if (!problem.empty()) {
        Io.Err << problem << '\n' << std::flush;
        return ExitFailure;
    }
    Io.Err << "Saved \"" << DisplayText::ForTerminal(options.OutPath) << "\".\n" << std::flush;
    return ExitOk;
}

} // namespace lumaquill
