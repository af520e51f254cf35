#pragma once

#include "ui/template/TemplateDialog.h"

namespace lumaquill {

class QuestionSet;
class UiPrompts;

// Puts the stored questions to the decoding user (template 137): each row
// shows its question, "Unanswered" or "Answered" (once the identical answer
// has been given), and a button to answer it. OK refuses a question left
// without its right answer.
class QuizlockAnswerDialog : public TemplateDialog {
    Q_OBJECT
public:
    // Slot k's "Unanswered" or "Answered".
    static constexpr int kFirstStatusId = 1050;

    QuizlockAnswerDialog(QuestionSet& questions, UiPrompts& prompts, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void OnOk() override;

private:
    void AnswerSlot(int k);

    QuestionSet& Questions;
    UiPrompts& Prompts;
};

} // namespace lumaquill
