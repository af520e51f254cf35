#include "ui/dialogs/SpeedCost.h"

#include "flows/StrengtheningCost.h"

#include <cmath>

namespace lumaquill {

double SpeedCost::Seconds(uint32_t passes)
{
    return StrengtheningCost::SecondsPerPass() * passes;
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
    return QStringLiteral("Takes %1 on this computer.").arg(Words(Seconds(StrengtheningCost::Passes(speed))));
}

} // namespace lumaquill
