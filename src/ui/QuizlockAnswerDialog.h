#pragma once

#include "ui/TemplateDialog.h"

namespace lumaquill {

class QuestionSet;
class UiPrompts;

// Puts the stored questions to the decoding user (template 137) and marks
// each "Answered" once the identical answer has been given.
class QuizlockAnswerDialog : public TemplateDialog {
    Q_OBJECT
public:
    QuizlockAnswerDialog(QuestionSet& questions, UiPrompts& prompts, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;

private:
    void AnswerSlot(int k);

    QuestionSet& Questions;
    UiPrompts& Prompts;
};

} // namespace lumaquill
