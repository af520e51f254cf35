#pragma once

#include "core/Frontend.h"
#include "ui/qt/QtFrontend.h"
#include "ui/qt/WorkerRun.h"

#include <functional>

class QWidget;

namespace lumaquill {

class StegFlows;
class UiPrompts;

// One encode or decode run of the flows from a dialog: for its length the
// flows' messages, busy cursor, progress window (with a Cancel button) and
// save prompt are the Qt ones on the dialog's prompts. On leaving, the flows
// get their previous front end back.
class EngineRunScope {
public:
    EngineRunScope(StegFlows& flows, UiPrompts& prompts, QWidget* dialog);
    ~EngineRunScope();
    EngineRunScope(const EngineRunScope&) = delete;
    EngineRunScope& operator=(const EngineRunScope&) = delete;

    // Runs a flow on a worker thread (see WorkerRun) and
    // returns when it has ended; the dialog takes no input meanwhile.
    void Run(const std::function<void()>& flow) { Worker.Run(flow); }

    // Whether the run has reported a problem with a stop message (a decoded
    // file that could not be written, for one).
    bool StopShown() const { return Services.StopShown(); }

private:
    StegFlows& Flows;
    // Before Services, which points to its cancel flag.
    WorkerRun Worker;
    QtFrontend Services;
    Frontend Previous;
};

} // namespace lumaquill
