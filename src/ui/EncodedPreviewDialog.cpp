// Stand-in until the dialog is built; replaced by its real implementation.
#include "ui/EncodedPreviewDialog.h"

namespace lumaquill {

namespace {
const DialogTemplate kEncodedPreviewTemplate{.Id = 133, .Caption = QStringLiteral("Encoded Image (Low quality preview)"), .Width = 262, .Height = 145};
}

EncodedPreviewDialog::EncodedPreviewDialog(const StegEngine& engine, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kEncodedPreviewTemplate, parent), Engine(engine), Prompts(prompts) { }
void EncodedPreviewDialog::OnOk() { EndDialog(Accepted); }
void EncodedPreviewDialog::paintEvent(QPaintEvent* event) { TemplateDialog::paintEvent(event); }

} // namespace lumaquill
