#pragma once

#include "core/Frontend.h"
#include "ui/qt/QtBusyIndicator.h"
#include "ui/qt/QtMessageSink.h"
#include "ui/qt/QtProgressFactory.h"
#include "ui/qt/QtSavePrompt.h"

#include <atomic>

class QWidget;

namespace lumaquill {

class UiPrompts;

// The Qt implementations of everything the core asks of its front end,
// bundled: messages and the save prompt go through the given UiPrompts,
// progress is a ProgressDialog, the busy cursor a BusyCursor. Every service
// may be used from a worker thread: it does its work on the interface
// thread. Given a cancel flag, the progress window has a Cancel button that
// sets it and belongs to owner.
//
//     QtFrontend services(prompts);
//     engine.SetFrontend(services.Services());
//
// The engine keeps pointers into this object: it must outlive their use.
class QtFrontend {
public:
    explicit QtFrontend(UiPrompts& prompts, QWidget* owner = nullptr, std::atomic<bool>* cancel = nullptr);
    QtFrontend(const QtFrontend&) = delete;
    QtFrontend& operator=(const QtFrontend&) = delete;

    Frontend Services();
    // Whether a stop message has been shown through these services.
    bool StopShown() const { return Messages.StopsShown() > 0; }

private:
    QtMessageSink Messages;
    QtBusyIndicator Busy;
    QtProgressFactory Progress;
    QtSavePrompt Save;
};

} // namespace lumaquill
