#include "flows/StrengtheningCost.h"

#include "keys/KeyMaterial.h"
#include "keys/SpeedSetting.h"

#include <chrono>

namespace lumaquill {

namespace {

// Enough Very Fast strengthenings for a steady figure, few enough to go
// unnoticed when the password dialog opens (a few milliseconds).
constexpr int kMeasuredRuns = 8;

// The strengthening draws only from its own generator, never from the
// runtime one, so measuring it leaves every stored byte as it was.
double MeasureSecondsPerPass()
{
    KeyMaterial scratch;
    scratch.Reset();
    const auto start = std::chrono::steady_clock::now();
    for (int run = 0; run < kMeasuredRuns; ++run)
        scratch.Mangle(SpeedVeryFast, nullptr);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count() / (double(kMeasuredRuns) * PassesForSpeed(SpeedVeryFast));
}

} // namespace

double StrengtheningCost::SecondsPerPass()
{
    static const double perPass = MeasureSecondsPerPass();
    return perPass;
}

uint32_t StrengtheningCost::Passes(int32_t speed)
{
    return PassesForSpeed(speed);
}

} // namespace lumaquill
