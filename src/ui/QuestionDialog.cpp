// Stand-in until the dialog is built; replaced by its real implementation.
#include "ui/QuestionDialog.h"

namespace lumaquill {

namespace {
const DialogTemplate kQuestionTemplate{.Id = 135, .Caption = QString(), .Width = 200, .Height = 100};
}

QuestionDialog::QuestionDialog(Sha1Bytes& keyBuffer, QWidget* parent) : TemplateDialog(kQuestionTemplate, parent), KeyBuffer(keyBuffer) { }
void QuestionDialog::OnInitDialog() { }
void QuestionDialog::OnOk() { EndDialog(Accepted); }

} // namespace lumaquill
