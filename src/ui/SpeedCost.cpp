#include "ui/SpeedCost.h"

#include "keys/KeyMaterial.h"
#include "keys/SpeedSetting.h"

#include <chrono>
#include <cmath>

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

double SpeedCost::Seconds(uint32_t passes)
{
    static const double perPass = MeasureSecondsPerPass();
    return perPass * passes;
}

QString SpeedCost::Words(double seconds)
{
    if (seconds < 1.0)
        return QStringLiteral("less than a second");
    if (seconds < 1.5)
        return QStringLiteral("about a second");
    if (seconds < 90.0)
        return QStringLiteral("about %1 seconds").arg(std::lround(seconds));
    return QStringLiteral("about %1 minutes").arg(std::lround(seconds / 60.0));
}

QString SpeedCost::Text(int32_t speed)
{
    return QStringLiteral("Takes %1 on this computer.").arg(Words(Seconds(PassesForSpeed(speed))));
}

} // namespace lumaquill
