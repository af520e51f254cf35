// Stand-in until the dialog is built; replaced by its real implementation.
#include "ui/QuizlockSetupDialog.h"

namespace lumaquill {

namespace {
const DialogTemplate kSetupTemplate{.Id = 134, .Caption = QStringLiteral("Quizlock"), .Width = 200, .Height = 100};
}

QuizlockSetupDialog::QuizlockSetupDialog(QuestionSet& questions, QWidget* parent) : TemplateDialog(kSetupTemplate, parent), Questions(questions) { }

} // namespace lumaquill
