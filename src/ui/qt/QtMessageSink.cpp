#include "ui/qt/QtMessageSink.h"

#include "ui/dialogs/ProgressDialog.h"
#include "ui/qt/GuiThread.h"
#include "ui/qt/UiPrompts.h"

namespace lumaquill {

void QtMessageSink::ShowMessage(const std::string& text, MessageIcon icon)
{
    OnGuiThread([&] {
        if (icon == MessageIcon::Stop)
            ++Stops;
        Prompts.ShowMessage(ProgressDialog::Shown(), QString::fromStdString(text), icon);
    });
}

} // namespace lumaquill
