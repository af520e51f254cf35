#include "ui/QtMessageSink.h"

#include "ui/GuiThread.h"
#include "ui/ProgressDialog.h"
#include "ui/UiPrompts.h"

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
