#pragma once

#include "ui/TemplateDialog.h"

namespace lumaquill {

class StegEngine;
class UiPrompts;

// Where the user hides something (template 144, "Encode Image"): chooses
// the payload and the container, and runs the encode on Ok.
class EncodeDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int BannerIconId = 141;
    static constexpr int OkPictureId = 142;

    EncodeDialog(StegEngine& engine, UiPrompts& prompts, QWidget* parent = nullptr);

private:
    StegEngine& Engine;
    UiPrompts& Prompts;
};

} // namespace lumaquill
