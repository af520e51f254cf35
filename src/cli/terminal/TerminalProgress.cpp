#include "cli/terminal/TerminalProgress.h"

#include "cli/terminal/TerminalLine.h"

#include <algorithm>

namespace lumaquill {

TerminalProgress::TerminalProgress(TerminalLine& line)
    : Line(line)
{
}

TerminalProgress::~TerminalProgress()
{
    Hide();
}

void TerminalProgress::Show()
{
    Visible = true;
    Redraw();
}

void TerminalProgress::Hide()
{
    if (Visible)
        Line.Clear();
    Visible = false;
}

void TerminalProgress::SetText(const std::string& text)
{
    Caption = text;
    Redraw();
}

void TerminalProgress::SetRange(uint32_t max)
{
    Max = max;
    Redraw();
}

void TerminalProgress::SetStep(int32_t step)
{
    Step = step;
}

void TerminalProgress::SetPos(int32_t position)
{
    Position = position;
    Redraw();
}

void TerminalProgress::StepIt()
{
    Position += Step;
    Redraw();
}

std::string TerminalProgress::Render() const
{
    int64_t filled = 0;
    if (Max > 0)
        filled = std::clamp<int64_t>(Position, 0, Max) * kBarWidth / Max;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(kBarWidth, '-');
    return Caption + " [" + bar + "]";
}

void TerminalProgress::Redraw()
{
    if (Visible)
        Line.Draw(Render());
}

} // namespace lumaquill
