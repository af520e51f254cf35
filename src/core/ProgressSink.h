#pragma once

#include <cstdint>
#include <string>

namespace lumaquill {

// A window (or terminal line) that shows one caption and a bar while a run
// blocks the caller. The engine creates one per run through a
// ProgressFactory, drives it, and destroys it when the run ends.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetText(const std::string& text) = 0;
    // The bar runs from 0 to max.
    virtual void SetRange(uint32_t max) = 0;
    virtual void SetStep(int32_t step) = 0;
    virtual void SetPos(int32_t position) = 0;
    // Advances the bar by its step.
    virtual void StepIt() = 0;
    // Whether the user has asked the run to stop. The run asks at each of
    // its progress steps and, once told, ends as a failure without a
    // message and without writing anything. May be asked from a thread
    // other than the one that made the display.
    virtual bool CancelRequested() const { return false; }
};

} // namespace lumaquill
