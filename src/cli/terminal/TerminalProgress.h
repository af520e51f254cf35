#pragma once

#include "core/ProgressSink.h"

#include <cstdint>
#include <string>

namespace lumaquill {

class TerminalLine;

// The progress window as one terminal line: the caption and a text bar,
// redrawn whenever the caption or the bar changes while it is shown.
class TerminalProgress : public ProgressSink {
public:
    static constexpr int kBarWidth = 24;

    explicit TerminalProgress(TerminalLine& line);
    ~TerminalProgress() override;

    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void Show() override;
    void Hide() override;
    void SetText(const std::string& text) override;
    void SetRange(uint32_t max) override;
    void SetStep(int32_t step) override;
    void SetPos(int32_t position) override;
    void StepIt() override;

    // What the line shows: "caption [####----]".
    std::string Render() const;

private:
    void Redraw();

    TerminalLine& Line;
    std::string Caption;
    uint32_t Max = 0;
    int32_t Step = 0;
    int64_t Position = 0;
    bool Visible = false;
};

} // namespace lumaquill
