#pragma once

#include <QObject>
#include <atomic>
#include <functional>

class QWidget;

namespace lumaquill {

// Runs one engine run on a thread of its own while the interface thread
// waits in a local event loop, so that the progress window keeps painting
// and its Cancel button answers. For the run's length the owner (the dialog
// that started it) takes no input, so nothing there can start another use
// of the engine: a close request or Escape on it asks for a cancel instead,
// and every other key, click, shortcut or drop is dropped. Windows of their
// own (the progress window, message boxes and prompts the run shows) take
// input as usual.
class WorkerRun : public QObject {
public:
    explicit WorkerRun(QWidget* owner);

    // Returns when work has returned. work must reach the interface only
    // through the front end's Qt adapters, which carry their calls over.
    void Run(const std::function<void()>& work);

    // Set by the progress window's Cancel button, or by a close request or
    // Escape on the owner; the engine reads it at its progress steps.
    std::atomic<bool>& CancelFlag() { return Cancel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InOwner(QObject* watched) const;

    QWidget* Owner;
    std::atomic<bool> Cancel { false };
};

} // namespace lumaquill
