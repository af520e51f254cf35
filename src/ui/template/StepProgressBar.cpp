#include "ui/template/StepProgressBar.h"

#include <algorithm>
#include <climits>

namespace lumaquill {

StepProgressBar::StepProgressBar(QWidget* parent)
    : QProgressBar(parent)
{
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void StepProgressBar::SetRange32(uint32_t max)
{
    setRange(0, static_cast<int>(std::min<uint32_t>(max, INT_MAX)));
    SetPos(value());
}

void StepProgressBar::SetPos(int32_t position)
{
    setValue(std::clamp(position, minimum(), maximum()));
}

void StepProgressBar::StepIt()
{
    const int64_t next = int64_t(value()) + Step;
    setValue(next > maximum() || next < minimum() ? minimum() : static_cast<int>(next));
}

} // namespace lumaquill
