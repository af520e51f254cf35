#include "ui/qt/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace lumaquill {

BusyCursor::BusyCursor()
{
    Begin();
}

BusyCursor::~BusyCursor()
{
    End();
}

void BusyCursor::Begin()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void BusyCursor::End()
{
    QGuiApplication::restoreOverrideCursor();
}

bool BusyCursor::Active()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

} // namespace lumaquill
