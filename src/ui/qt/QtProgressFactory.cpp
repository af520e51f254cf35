#include "ui/qt/QtProgressFactory.h"

#include "ui/dialogs/ProgressDialog.h"
#include "ui/qt/GuiThread.h"
#include "ui/qt/ProgressRelay.h"

namespace lumaquill {

std::unique_ptr<ProgressSink> QtProgressFactory::CreateProgress()
{
    ProgressDialog* dialog = nullptr;
    OnGuiThread([this, &dialog] {
        if (Cancel == nullptr) {
            dialog = new ProgressDialog();
            return;
        }
        std::atomic<bool>* cancel = Cancel;
        dialog = new ProgressDialog(Owner, [cancel] { cancel->store(true); });
    });
    return std::make_unique<ProgressRelay>(dialog, Cancel);
}

} // namespace lumaquill
