#pragma once

#include "core/ProgressSink.h"

#include <atomic>

namespace lumaquill {

class ProgressDialog;

// The engine's progress display for a run that may go on a worker thread:
// it owns a ProgressDialog, which lives, changes and dies on the interface
// thread, and carries every call there (see OnGuiThread). A cancel is read
// from the run's flag directly, without waiting for the interface thread.
class ProgressRelay : public ProgressSink {
public:
    // cancel may be null: the run cannot be stopped.
    ProgressRelay(ProgressDialog* dialog, const std::atomic<bool>* cancel);
    ~ProgressRelay() override;
    ProgressRelay(const ProgressRelay&) = delete;
    ProgressRelay& operator=(const ProgressRelay&) = delete;

    void Show() override;
    void Hide() override;
    void SetText(const std::string& text) override;
    void SetRange(uint32_t max) override;
    void SetStep(int32_t step) override;
    void SetPos(int32_t position) override;
    void StepIt() override;
    bool CancelRequested() const override;

    // The window; only to be used on the interface thread.
    ProgressDialog& Window() const { return *Dialog; }

private:
    ProgressDialog* Dialog;
    const std::atomic<bool>* Cancel;
};

} // namespace lumaquill
