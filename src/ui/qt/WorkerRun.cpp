#include "ui/qt/WorkerRun.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QWidget>
#include <thread>

namespace lumaquill {

WorkerRun::WorkerRun(QWidget* owner)
    : Owner(owner)
{
}

// Invariant: the runtime generator (RuntimeRandom) is one process-wide
// state, and the run on the worker seeds and draws from it. While the
// worker runs, the interface thread must not draw from it: nothing the
// local event loop can reach does (the owner takes no input, the main
// window draws its promotional line only after its dialog has closed, the
// speed list's cost estimate has a generator of its own).
void WorkerRun::Run(const std::function<void()>& work)
{
    Cancel = false;
    std::atomic<bool> done { false };
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(this);
    std::thread worker([&] {
        work();
        done = true;
        // Wakes the loop below to see that the run has ended.
        QMetaObject::invokeMethod(
            app, [] {}, Qt::QueuedConnection);
    });
    // Not QEventLoop::exec: a loop told to quit early must not leave the
    // worker blocked on a call it carries to this thread.
    QEventLoop loop;
    while (!done)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    app->removeEventFilter(this);
}

bool WorkerRun::InOwner(QObject* watched) const
{
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->window() == Owner;
}

bool WorkerRun::eventFilter(QObject* watched, QEvent* event)
{
    if (!InOwner(watched))
        return false;
    switch (event->type()) {
    case QEvent::Close:
        event->ignore();
        Cancel = true;
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            Cancel = true;
        return true;
    case QEvent::ShortcutOverride:
        // Accepted, so that no shortcut of the owner fires.
        event->accept();
        return true;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace lumaquill
