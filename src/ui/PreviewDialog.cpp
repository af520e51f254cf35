#include "ui/PreviewDialog.h"

#include "engine/StegEngine.h"
#include "ui/DibDrawing.h"

#include <QPainter>

namespace lumaquill {

namespace {

const DialogTemplate PreviewTemplate {
    .Id = 129,
    .Caption = QStringLiteral("Preview"),
    .Width = 244,
    .Height = 198,
};

} // namespace

PreviewDialog::PreviewDialog(const StegEngine& engine, QWidget* owner)
    : TemplateDialog(PreviewTemplate, owner)
    , Engine(engine)
{
    // Showing the preview leaves the stacking order and the focus as they are.
    setAttribute(Qt::WA_ShowWithoutActivating);
}

// A window that has never been shown has no frame yet, so the outer size is
// set again once it is shown and the frame is known.
void PreviewDialog::ShowAtImageSize()
{
    const bool placed = testAttribute(Qt::WA_Moved);
    const QPoint topLeft = pos();
    FitOuterToImage();
    if (placed)
        move(topLeft);
    showNormal();
    FitOuterToImage();
    if (placed)
        move(topLeft);
    update();
}

void PreviewDialog::FitOuterToImage()
{
    if (Engine.IsValid())
        ResizeOuter(QSize(Engine.Width(), Engine.Height()));
}

void PreviewDialog::OnCancel()
{
    hide();
}

// The picture fills the whole client area; its aspect ratio is not kept.
void PreviewDialog::paintEvent(QPaintEvent* event)
{
    TemplateDialog::paintEvent(event);
    if (!Engine.IsValid())
        return;
    QPainter painter(this);
    DrawDib(painter, Engine, rect());
}

} // namespace lumaquill
