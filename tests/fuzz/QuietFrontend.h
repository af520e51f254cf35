#pragma once

#include "core/Frontend.h"

#include <memory>

namespace lumaquill::fuzz {

// A front end that shows nothing but still takes every call the core makes
// (messages, busy cursor, progress), so that those paths run too. The save
// prompt is the caller's. Busy scopes are counted, so a run that leaves the
// busy cursor on is caught.
class QuietFrontend : public MessageSink, public BusyIndicator, public ProgressFactory {
public:
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void Begin() override;
    void End() override;
    std::unique_ptr<ProgressSink> CreateProgress() override;

    Frontend With(SavePrompt* save) { return Frontend { this, this, this, save }; }
    // Every Begin has been matched by an End.
    bool Idle() const { return BusyDepth == 0; }

private:
    int BusyDepth = 0;
};

} // namespace lumaquill::fuzz
