#pragma once

#include "engine/StegEngine.h"

namespace lumaquill {

// The progress display of one encode or decode run, held in the engine's
// Progress member: made through the front end's factory unless one exists
// already, shown with "Initializing" at position 0, and hidden and destroyed
// when the scope ends, on every way out of the run. Without a factory the
// member stays null and the run reports no progress.
class RunProgress {
public:
    explicit RunProgress(StegEngine& engine)
        : Engine(engine)
    {
        ProgressFactory* factory = Engine.GetFrontend().Progress;
        if (!Engine.Progress && factory)
            Engine.Progress = factory->CreateProgress();
        if (Engine.Progress) {
            Engine.Progress->Show();
            Engine.Progress->SetText("Initializing");
            Engine.Progress->SetPos(0);
        }
    }
    ~RunProgress()
    {
        if (Engine.Progress) {
            Engine.Progress->Hide();
            Engine.Progress.reset();
        }
    }
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

private:
    StegEngine& Engine;
};

} // namespace lumaquill
