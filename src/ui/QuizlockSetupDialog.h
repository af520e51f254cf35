#pragma once

#include "ui/TemplateDialog.h"

namespace lumaquill {

class QuestionSet;

// The encoding user's five question slots (template 134).
class QuizlockSetupDialog : public TemplateDialog {
    Q_OBJECT
public:
    explicit QuizlockSetupDialog(QuestionSet& questions, QWidget* parent = nullptr);

private:
    void EditSlot(int k);

    QuestionSet& Questions;
};

} // namespace lumaquill
