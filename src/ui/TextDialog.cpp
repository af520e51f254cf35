// Stand-in until the dialog is built; replaced by its real implementation.
#include "ui/TextDialog.h"

namespace lumaquill {

namespace {
const DialogTemplate kTextTemplate{.Id = 131, .Caption = QStringLiteral("Text"), .Width = 296, .Height = 169};
}

TextDialog::TextDialog(QWidget* parent) : TemplateDialog(kTextTemplate, parent) { }
void TextDialog::OnInitDialog() { }
void TextDialog::OnOk() { EndDialog(Accepted); }

} // namespace lumaquill
