#include "ui/qt/QtBusyIndicator.h"

#include "ui/qt/BusyCursor.h"
#include "ui/qt/GuiThread.h"

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
