#include "ui/qt/ProgressRelay.h"

#include "ui/dialogs/ProgressDialog.h"
#include "ui/qt/GuiThread.h"

namespace lumaquill {

ProgressRelay::ProgressRelay(ProgressDialog* dialog, const std::atomic<bool>* cancel)
    : Dialog(dialog)
    , Cancel(cancel)
{
}

ProgressRelay::~ProgressRelay()
{
    OnGuiThread([this] { delete Dialog; });
}

void ProgressRelay::Show()
{
    OnGuiThread([this] { Dialog->Show(); });
}

void ProgressRelay::Hide()
{
    OnGuiThread([this] { Dialog->Hide(); });
}

void ProgressRelay::SetText(const std::string& text)
{
    OnGuiThread([this, &text] { Dialog->SetText(text); });
}

void ProgressRelay::SetRange(uint32_t max)
{
    OnGuiThread([this, max] { Dialog->SetRange(max); });
}

void ProgressRelay::SetStep(int32_t step)
{
    OnGuiThread([this, step] { Dialog->SetStep(step); });
}

void ProgressRelay::SetPos(int32_t position)
{
    OnGuiThread([this, position] { Dialog->SetPos(position); });
}

void ProgressRelay::StepIt()
{
    OnGuiThread([this] { Dialog->StepIt(); });
}

bool ProgressRelay::CancelRequested() const
{
    return Cancel != nullptr && Cancel->load();
}

} // namespace lumaquill
