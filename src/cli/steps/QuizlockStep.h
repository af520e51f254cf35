#pragma once

#include "cli/options/EncodeOptions.h"
#include "flows/KeyDigests.h"

#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

struct CliIo;
class QuestionSet;

// The question dialogs for the command line.
class QuizlockStep {
public:
    // Encode: the setup dialog with --quiz k filling slot k (an empty
    // question leaves its slot unused), then compaction and the key text.
    static KeyDigests Setup(const std::vector<EncodeOptions::Quiz>& quizzes, QuestionSet& set);

    // Decode, with the stored questions in the set: the answer dialog. The
    // answers come from --answer, one per stored question in order, or are
    // asked on the terminal when none were given. Each answer that does not
    // match its stored key is reported as unanswered; the key is built from
    // the answers as given, as the dialog does. Nothing, after a message,
    // when the answers cannot be had.
    static std::optional<KeyDigests> Answer(QuestionSet& set, const std::vector<std::string>& answers, CliIo& io);

    // Question #k, its text and its hint, for the terminal.
    static void PrintQuestion(std::ostream& err, const QuestionSet& set, int slot);

private:
    static std::optional<std::vector<std::string>> Collect(
        const QuestionSet& set, const std::vector<std::string>& answers, CliIo& io);
};

} // namespace lumaquill
