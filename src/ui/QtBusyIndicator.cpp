#include "ui/QtBusyIndicator.h"

#include "ui/BusyCursor.h"

namespace lumaquill {

void QtBusyIndicator::Begin()
{
    BusyCursor::Begin();
}

void QtBusyIndicator::End()
{
    BusyCursor::End();
}

} // namespace lumaquill
