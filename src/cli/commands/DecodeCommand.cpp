#include "cli/commands/DecodeCommand.h"

#include "cli/commands/CommandOpening.h"
#include "cli/commands/ExitStatus.h"
#include "cli/options/DecodeOptions.h"
#include "cli/options/UsageText.h"
#include "cli/steps/DecodeSavePrompt.h"
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
#include "flows/StegFlows.h"

#include <ostream>
#include <sodium.h>

namespace lumaquill {

DecodeCommand::DecodeCommand(CliIo& io)
    : Io(io)
{
}

int DecodeCommand::Execute(const std::vector<std::string>& args)
{
    int status = ExitOk;
    const std::optional<DecodeOptions> options = CommandOpening::Open<DecodeOptions>(Io, "decode", args, status);
    return options ? Decode(*options) : status;
}

// A JPEG is tried as a stealth JPEG; it stores no questions.
int DecodeCommand::Decode(const DecodeOptions& options)
{
    TerminalLine line(Io.Err);
    TerminalLine* progressLine = Io.ErrIsTerminal ? &line : nullptr;
    StderrMessageSink messages(Io.Err, progressLine);
    TerminalProgressFactory progress(line);
    DecodeSavePrompt savePrompt(options, messages, Io.Out);
    StegFlows flows;
    flows.SetFrontend({ &messages, nullptr, progressLine ? &progress : nullptr, &savePrompt });

    flows.LoadCover(options.ImagePath);
    if (std::string refusal = PictureChoice::Refusal(flows, options.ImagePath, true); !refusal.empty()) {
        messages.ShowMessage(refusal, MessageIcon::Stop);
        return ExitFailure;
    }
    KeyEntry key;
    const bool questionsStored = flows.ReadStoredQuestions(key.Questions);
    if (!TakeKey(options, questionsStored, key))
        return ExitUsage;
    return Deliver(options, flows.Decode(key));
}

// The answers when the image stores questions, else a password; a key
// option of the other kind is a usage error.
bool DecodeCommand::TakeKey(const DecodeOptions& options, bool questionsStored, KeyEntry& key)
{
    QuestionSet& questions = key.Questions;
    bool passwordGiven = options.Key == KeySource::Password || options.Key == KeySource::PasswordStdin;
    if (questionsStored && passwordGiven) {
        for (int k = 0; k < questions.LeadingUsed(); ++k)
            QuizlockStep::PrintQuestion(Io.Err, questions, k);
        UsageText::Report(Io.Err, "decode", "this image is protected by questions: answer them with --answer",
            DecodeOptions::Usage());
        return false;
    }
    if (questionsStored) {
        const std::optional<KeyDigests> answered = QuizlockStep::Answer(questions, options.Answers, Io);
        if (!answered)
            return false;
        key.Digests = *answered;
        return true;
    }
    if (options.Key == KeySource::Answers || (options.Key == KeySource::Prompt && !Io.Terminal)) {
        UsageText::Report(Io.Err, "decode",
            options.Key == KeySource::Answers
                ? "this image stores no questions: give its password"
                : "no password: give --password or --password-stdin, or run on a terminal",
            DecodeOptions::Usage());
        return false;
    }
    std::optional<std::string> typed = PasswordStep::Obtain(options.Key, options.Password, false, Io);
    if (!typed)
        return false;
    key.Password = SecretBytes(*typed);
    sodium_memzero(typed->data(), typed->size());
    key.Digests = KeyDigests::FromText(key.Password.View());
    return true;
}

// A declined save or a failed write has been explained by the save prompt
// or the flow.
int DecodeCommand::Deliver(const DecodeOptions& options, const DecodeResult& result)
{
    switch (result.What) {
    case DecodeResult::Kind::Text:
        return DeliverText(options, result.Text);
    case DecodeResult::Kind::FileWritten:
        if (!OutputFile::IsStdout(options.OutPath))
            Io.Err << "Saved " << Quoted(result.Path) << ".\n" << std::flush;
        return ExitOk;
    case DecodeResult::Kind::SaveDeclined:
    case DecodeResult::Kind::WriteFailed:
    case DecodeResult::Kind::Unreadable:
        return ExitFailure;
    case DecodeResult::Kind::Nothing:
    case DecodeResult::Kind::Cancelled:
        break;
    }
    Io.Err << (result.FromJpeg ? message::kStealthJpegNotOpened : message::kNothingDecoded) << '\n' << std::flush;
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
    Io.Err << "Saved " << Quoted(options.OutPath) << ".\n" << std::flush;
    return ExitOk;
}

} // namespace lumaquill
