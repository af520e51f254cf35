#pragma once

#include "ui/TemplateDialog.h"

namespace lumaquill {

class StegEngine;
class UiPrompts;

// Where the user recovers a payload (template 145, "Decode"): chooses the
// container and runs the decode.
class DecodeDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int BannerIconId = 141;
    static constexpr int DecodePictureId = 143;

    DecodeDialog(StegEngine& engine, UiPrompts& prompts, QWidget* parent = nullptr);

private:
    StegEngine& Engine;
    UiPrompts& Prompts;
};

} // namespace lumaquill
