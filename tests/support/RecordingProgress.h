#pragma once

#include "core/ProgressSink.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill::test {

// The progress sink of every test: logs each call as one line named after
// it, e.g. "Show", "SetText Initializing", "SetRange 11", "SetStep 1",
// "SetPos 0", "StepIt", "Hide". A long run steps thousands of times, so
// StepIt can be counted in StepCount instead. A sink owned by a front end
// can also log "Destroyed" when it goes; the log must then outlive it.
class RecordingProgress : public ProgressSink {
public:
    enum class Steps { Logged, Counted };
    enum class End { Silent, Logged };

    explicit RecordingProgress(std::vector<std::string>& log, Steps steps = Steps::Logged, End end = End::Silent)
        : Log(log)
        , StepMode(steps)
        , EndMode(end)
    {
    }
    ~RecordingProgress() override
    {
        if (EndMode == End::Logged)
            Log.push_back("Destroyed");
    }

    void Show() override { Log.push_back("Show"); }
    void Hide() override { Log.push_back("Hide"); }
    void SetText(const std::string& text) override { Log.push_back("SetText " + text); }
    void SetRange(uint32_t max) override { Log.push_back("SetRange " + std::to_string(max)); }
    void SetStep(int32_t step) override { Log.push_back("SetStep " + std::to_string(step)); }
    void SetPos(int32_t position) override { Log.push_back("SetPos " + std::to_string(position)); }
    void StepIt() override
    {
        ++StepCount;
        if (StepMode == Steps::Logged)
            Log.push_back("StepIt");
    }

    int StepCount = 0;

private:
    std::vector<std::string>& Log;
    Steps StepMode;
    End EndMode;
};

} // namespace lumaquill::test
