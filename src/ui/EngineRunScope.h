#pragma once

#include "core/Frontend.h"
#include "ui/QtFrontend.h"
#include "ui/WorkerRun.h"

#include <functional>

class QWidget;

namespace lumaquill {

class StegEngine;
class UiPrompts;

// One encode or decode run of the application's engine from a dialog: for
// its length the engine's messages, busy cursor, progress window (with a
// Cancel button) and save prompt are the Qt ones on the dialog's prompts. On
// leaving, the engine gets its previous front end back and lets go of the
// question set it borrowed from the password dialog, which dies with the
// dialog's handler: the engine outlives every dialog and must never point
// into one.
class EngineRunScope {
public:
    EngineRunScope(StegEngine& engine, UiPrompts& prompts, QWidget* dialog);
    ~EngineRunScope();
    EngineRunScope(const EngineRunScope&) = delete;
    EngineRunScope& operator=(const EngineRunScope&) = delete;

    // Runs a flow on the engine on a worker thread (see WorkerRun) and
    // returns when it has ended; the dialog takes no input meanwhile.
    void Run(const std::function<void()>& flow) { Worker.Run(flow); }

    // Whether the run has reported a problem with a stop message (a decoded
    // file that could not be written, for one).
    bool StopShown() const { return Services.StopShown(); }

private:
    StegEngine& Engine;
    // Before Services, which points to its cancel flag.
    WorkerRun Worker;
    QtFrontend Services;
    Frontend Previous;
};

} // namespace lumaquill
