#include "cli/DecodeCommand.h"

#include "cli/CliIo.h"
#include "cli/DecodeOptions.h"
#include "cli/DecodeSavePrompt.h"
#include "cli/DisplayText.h"
#include "cli/ExitStatus.h"
#include "cli/PasswordStep.h"
#include "cli/PictureChoice.h"
#include "cli/QuizlockStep.h"
#include "cli/StderrMessageSink.h"
#include "cli/TerminalLine.h"
#include "cli/TerminalProgressFactory.h"
#include "cli/UsageText.h"
#include "engine/StegEngine.h"
#include "flows/DecodeFlow.h"
#include "keys/QuestionSet.h"

#include <memory>
#include <ostream>

namespace lumaquill {

namespace {

constexpr const char* kNothingDecoded = "Could not decode any useful information from this image.";

} // namespace

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
        Io.Out << DecodeOptions::Usage() << std::flush;
        return ExitOk;
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
    DecodeSavePrompt savePrompt(options, promptMessages);
    auto engine = std::make_unique<StegEngine>();
    engine->SetFrontend({ &messages, nullptr, progressLine ? &progress : nullptr, &savePrompt });

    engine->LoadContainer(options.ImagePath);
    if (std::string refusal = PictureChoice::Refusal(*engine, options.ImagePath, true); !refusal.empty()) {
        messages.ShowMessage(refusal, MessageIcon::Stop);
        return ExitFailure;
    }
    QuestionSet questions;
    bool questionsStored = ReadStoredQuestions(*engine, questions);
    std::optional<KeyDigests> key = TakeKey(options, questionsStored, questions);
    if (!key)
        return ExitUsage;
    std::string holder;
    int before = messages.Count();
    DecodeOutcome outcome = RunDecode(*engine, *key, holder);
    return Deliver(outcome, holder, savePrompt.Declined(), messages.Count() != before);
}

// The answers when the image stores questions, else a password; a key
// option of the other kind is a usage error.
std::optional<KeyDigests> DecodeCommand::TakeKey(
    const DecodeOptions& options, bool questionsStored, QuestionSet& questions)
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
    std::optional<std::string> password = PasswordStep::Obtain(options.Key, options.Password, false, Io);
    if (!password)
        return std::nullopt;
    return KeyDigests::FromText(*password);
}

int DecodeCommand::Deliver(int outcome, const std::string& holder, bool declined, bool failureShown)
{
    if (outcome == TextDecoded) {
        Io.Out.write(holder.data(), static_cast<std::streamsize>(holder.size()));
        Io.Out.flush();
        if (Io.Out)
            return ExitOk;
        Io.Err << "Could not write the decoded text to standard output.\n";
        return ExitFailure;
    }
    if (outcome == FileWritten) {
        if (declined || failureShown || holder.empty())
            return ExitFailure;
        Io.Err << "Saved \"" << DisplayText::ForTerminal(holder) << "\".\n" << std::flush;
        return ExitOk;
    }
    Io.Err << kNothingDecoded << '\n' << std::flush;
    return ExitFailure;
}

} // namespace lumaquill
