#include "ui/QtBusyIndicator.h"

#include "ui/BusyCursor.h"
#include "ui/GuiThread.h"

namespace lumaquill {

void QtBusyIndicator::Begin()
{
    OnGuiThread([] { BusyCursor::Begin(); });
}

void QtBusyIndicator::End()
{
    OnGuiThread([] { BusyCursor::End(); });
}

} // namespace lumaquill
