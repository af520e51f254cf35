#pragma once

#include <QProgressBar>
#include <cstdint>

namespace lumaquill {

// A progress bar with a 32-bit range and a step increment. Positions outside
// the range are clamped; StepIt past the maximum starts over at the minimum.
class StepProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit StepProgressBar(QWidget* parent = nullptr);

    // The bar runs from 0 to max; values beyond INT_MAX are clamped.
    void SetRange32(uint32_t max);
    void SetStep(int32_t step) { Step = step; }
    void SetPos(int32_t position);
    void StepIt();

private:
    int32_t Step = 10;
};

} // namespace lumaquill
