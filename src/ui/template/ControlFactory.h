#pragma once

#include "ui/template/DialogTemplate.h"

class QWidget;

namespace lumaquill {

// Makes the Qt widget for one template control (see ControlKind for the
// widget classes). The caller places it; texts are always plain text, never
// rich text, since they may come from decoded data.
class ControlFactory {
public:
    static QWidget* Create(const ControlTemplate& control, QWidget* parent);
};

} // namespace lumaquill
