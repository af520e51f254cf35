#include "cli/steps/QuizlockStep.h"

#include "cli/terminal/CliIo.h"
#include "cli/terminal/DisplayText.h"
#include "cli/terminal/TerminalInput.h"
#include "core/MessageText.h"
#include "flows/KeyEntry.h"

#include <ostream>

namespace lumaquill {

namespace {

std::string QuestionLabel(int slot)
{
    return "Question #" + std::to_string(slot + 1);
}

} // namespace

KeyDigests QuizlockStep::Setup(const std::vector<EncodeOptions::Quiz>& quizzes, QuestionSet& set)
{
    set.ClearFlagsAndKeys();
    for (size_t k = 0; k < quizzes.size() && k < QuestionSet::kSlots; ++k)
        set.SetSlot(static_cast<int>(k), quizzes[k].Question, quizzes[k].Hint, quizzes[k].Answer);
    set.Compact();
    set.BuildKeyText();
    return KeyDigests::FromText(set.KeyText);
}

void QuizlockStep::PrintQuestion(std::ostream& err, const QuestionSet& set, int slot)
{
    auto k = static_cast<size_t>(slot);
    err << QuestionLabel(slot) << ": " << DisplayText::ForTerminal(set.Questions[k]) << '\n'
        << "Hint: " << DisplayText::ForTerminal(set.Hints[k]) << '\n';
}

std::optional<KeyDigests> QuizlockStep::Answer(QuestionSet& set, const std::vector<std::string>& answers, CliIo& io)
{
    std::optional<std::vector<std::string>> given = Collect(set, answers, io);
    if (!given)
        return std::nullopt;
    for (size_t k = 0; k < given->size(); ++k) {
        set.Answers[k] = (*given)[k];
        if (AnswerKey(set.Answers[k]) != set.AnswerKeys[k])
            io.Err << QuestionLabel(static_cast<int>(k)) << ": Unanswered\n";
    }
    set.Compact();
    set.BuildKeyText();
    return KeyDigests::FromText(set.KeyText);
}

std::optional<std::vector<std::string>> QuizlockStep::Collect(
    const QuestionSet& set, const std::vector<std::string>& answers, CliIo& io)
{
    int count = set.LeadingUsed();
    if (!answers.empty() && answers.size() == static_cast<size_t>(count))
        return answers;
    io.Err << message::kQuizlockIntro << '\n';
    if (!answers.empty() || !io.Terminal) {
        for (int k = 0; k < count; ++k)
            PrintQuestion(io.Err, set, k);
        io.Err << "This image asks " << count << (count == 1 ? " question" : " questions")
               << ": give one --answer for each, in order.\n"
               << std::flush;
        return std::nullopt;
    }
    std::vector<std::string> typed;
    for (int k = 0; k < count; ++k) {
        PrintQuestion(io.Err, set, k);
        // Answers are keys: typed without echo, like a password.
        typed.push_back(io.Terminal->ReadLine("Answer: ", false).value_or(""));
    }
    return typed;
}

} // namespace lumaquill
