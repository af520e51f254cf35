#include "ui/qt/QtFrontend.h"

namespace lumaquill {

QtFrontend::QtFrontend(UiPrompts& prompts, QWidget* owner, std::atomic<bool>* cancel)
    : Messages(prompts)
    , Progress(owner, cancel)
    , Save(prompts)
{
}

Frontend QtFrontend::Services()
{
    Frontend frontend;
    frontend.Messages = &Messages;
    frontend.Busy = &Busy;
    frontend.Progress = &Progress;
    frontend.Save = &Save;
    return frontend;
}

} // namespace lumaquill
