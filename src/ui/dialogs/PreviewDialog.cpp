#include "ui/dialogs/PreviewDialog.h"

#include "flows/StegFlows.h"
#include "ui/qt/DibDrawing.h"

#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace lumaquill {

namespace {

const DialogTemplate kPreviewTemplate {
    .Id = 129,
    .Caption = QStringLiteral("Preview"),
    .Width = 244,
    .Height = 198,
};

// The largest part of the available area the window takes, in tenths.
constexpr int kScreenShareTenths = 9;

} // namespace

PreviewDialog::PreviewDialog(const StegFlows& flows, QWidget* owner)
    : TemplateDialog(kPreviewTemplate, owner)
    , Flows(flows)
{
}

QSize PreviewDialog::FittedOuterSize(const QSize& image, const QRect& available)
{
    const QSize limit(available.width() * kScreenShareTenths / 10, available.height() * kScreenShareTenths / 10);
    const bool fits = image.width() <= limit.width() && image.height() <= limit.height();
    if (fits || limit.isEmpty())
        return image;
    return image.scaled(limit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QRect PreviewDialog::AvailableArea() const
{
    const QWidget* owner = parentWidget();
    const QScreen* shown = owner ? owner->screen() : screen();
    return shown ? shown->availableGeometry() : QRect();
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
    KeepInside(AvailableArea());
    raise();
    activateWindow();
    update();
}

void PreviewDialog::FitOuterToImage()
{
    if (Flows.HasPicture())
        ResizeOuter(FittedOuterSize(QSize(Flows.Width(), Flows.Height()), AvailableArea()));
}

void PreviewDialog::KeepInside(const QRect& available)
{
    if (available.isEmpty())
        return;
    const QRect frame = frameGeometry();
    QPoint corner = frame.topLeft();
    corner.setX(std::max(available.left(), std::min(corner.x(), available.right() + 1 - frame.width())));
    corner.setY(std::max(available.top(), std::min(corner.y(), available.bottom() + 1 - frame.height())));
    if (corner != frame.topLeft())
        move(corner);
}

void PreviewDialog::OnCancel()
{
    hide();
}

// The picture fills the whole client area; its aspect ratio is not kept.
void PreviewDialog::paintEvent(QPaintEvent* event)
{
    TemplateDialog::paintEvent(event);
    if (!Flows.HasPicture())
        return;
    QPainter painter(this);
    DrawStretched(painter, Flows.Picture(), rect());
}

} // namespace lumaquill
