// Stand-in until the dialog is built; replaced by its real implementation.
#include "ui/QuizlockAnswerDialog.h"

namespace lumaquill {

namespace {
const DialogTemplate kAnswerTemplate{.Id = 137, .Caption = QStringLiteral("Quizlock"), .Width = 200, .Height = 100};
}

QuizlockAnswerDialog::QuizlockAnswerDialog(QuestionSet& questions, QWidget* parent) : TemplateDialog(kAnswerTemplate, parent), Questions(questions) { }
void QuizlockAnswerDialog::OnInitDialog() { }

} // namespace lumaquill
