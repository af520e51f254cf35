// Stand-in until the dialog is built; replaced by its real implementation.
#include "ui/PasswordDialog.h"

namespace lumaquill {

namespace {
const DialogTemplate kPasswordTemplate{.Id = 132, .Caption = QStringLiteral("Password"), .Width = 200, .Height = 100};
}

PasswordDialog::PasswordDialog(UiPrompts&, QWidget* parent) : TemplateDialog(kPasswordTemplate, parent) { }
void PasswordDialog::OnInitDialog() { }
void PasswordDialog::OnOk() { EndDialog(Accepted); }

} // namespace lumaquill
