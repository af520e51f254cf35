// Stand-in until the dialog is built; replaced by its real implementation.
#include "ui/PreviewDialog.h"

namespace lumaquill {

namespace {
const DialogTemplate kPreviewTemplate{.Id = 129, .Caption = QStringLiteral("Preview"), .Width = 244, .Height = 198};
}

PreviewDialog::PreviewDialog(const StegEngine& engine, QWidget* owner) : TemplateDialog(kPreviewTemplate, owner), Engine(engine) { }
void PreviewDialog::ShowAtImageSize() { show(); }
void PreviewDialog::OnCancel() { hide(); }
void PreviewDialog::paintEvent(QPaintEvent* event) { TemplateDialog::paintEvent(event); }

} // namespace lumaquill
