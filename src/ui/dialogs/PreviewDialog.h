#pragma once

#include "ui/template/TemplateDialog.h"

namespace lumaquill {

class StegFlows;

// The modeless container preview (template 129): the engine's whole image
// stretched into the client area, as it is at the moment of painting. Its
// close box and Escape only hide it; it is destroyed with its owner.
class PreviewDialog : public TemplateDialog {
    Q_OBJECT
public:
    PreviewDialog(const StegFlows& flows, QWidget* owner);

    // Keeps the window's top-left corner, sets its outer size to the image's
    // width x height in pixels, and shows it in its normal state, active, so
    // that Escape reaches it rather than its owner. A picture larger than 90%
    // of the screen's available area is shown at that size with its
    // proportions kept, and the window is moved as far as needed to lie
    // inside the available area, so that its close box stays in reach.
    void ShowAtImageSize();
    // The outer size ShowAtImageSize gives the window for an image.
    static QSize FittedOuterSize(const QSize& image, const QRect& available);

protected:
    void OnCancel() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FitOuterToImage();
    void KeepInside(const QRect& available);
    QRect AvailableArea() const;

    const StegFlows& Flows;
};

} // namespace lumaquill
