#pragma once

#include "ui/template/TemplateDialog.h"

namespace lumaquill {

class QuestionSet;
class UiPrompts;

// The encoding user's five question slots (template 134). A slot opened
// again shows its question and hint; its answer is typed again.
class QuizlockSetupDialog : public TemplateDialog {
    Q_OBJECT
public:
    QuizlockSetupDialog(QuestionSet& questions, UiPrompts& prompts, QWidget* parent = nullptr);

private:
    void EditSlot(int k);

    QuestionSet& Questions;
    UiPrompts& Prompts;
};

} // namespace lumaquill
