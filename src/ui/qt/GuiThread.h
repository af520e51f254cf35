#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <utility>

namespace lumaquill {

// Runs work on the interface thread and returns when it is done: at once
// when called there, else queued to that thread while the caller blocks.
// Everything the core's front end shows (windows, message boxes, the save
// prompt, the cursor) goes through here, because an engine run may call it
// from a worker thread. REQUIRES: the interface thread is not itself
// blocked waiting for the caller (it runs an event loop while a worker
// runs).
template <typename Work> void OnGuiThread(Work&& work)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (QThread::currentThread() == app->thread()) {
        std::forward<Work>(work)();
        return;
    }
    QMetaObject::invokeMethod(app, std::forward<Work>(work), Qt::BlockingQueuedConnection);
}

} // namespace lumaquill
