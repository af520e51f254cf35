#pragma once

#include "ui/TemplateDialog.h"

namespace lumaquill {

class StegEngine;

// The modeless container preview (template 129): the engine's whole image
// stretched into the client area, as it is at the moment of painting. Its
// close box only hides it; it is destroyed with its owner.
class PreviewDialog : public TemplateDialog {
    Q_OBJECT
public:
    PreviewDialog(const StegEngine& engine, QWidget* owner);

    // Keeps the window's top-left corner, sets its outer size to the image's
    // width x height in pixels, and shows it in its normal state.
    void ShowAtImageSize();

protected:
    void OnCancel() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FitOuterToImage();

    const StegEngine& Engine;
};

} // namespace lumaquill
