#include "ui/QtProgressFactory.h"

#include "ui/GuiThread.h"
#include "ui/ProgressDialog.h"
#include "ui/ProgressRelay.h"

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
