#pragma once

#include "core/ProgressFactory.h"

#include <atomic>

class QWidget;

namespace lumaquill {

// Makes a hidden ProgressDialog for each run, on the interface thread
// whichever thread asks, behind a ProgressRelay. Given a cancel flag, the
// window has a Cancel button that sets it, and belongs to owner.
class QtProgressFactory : public ProgressFactory {
public:
    QtProgressFactory() = default;
    QtProgressFactory(QWidget* owner, std::atomic<bool>* cancel)
        : Owner(owner)
        , Cancel(cancel)
    {
    }

    std::unique_ptr<ProgressSink> CreateProgress() override;

private:
    QWidget* Owner = nullptr;
    std::atomic<bool>* Cancel = nullptr;
};

} // namespace lumaquill
