#include "ui/dialogs/SizeText.h"

#include <array>
#include <cmath>

namespace lumaquill {

QString SizeText::Of(uint64_t bytes)
{
    constexpr double kStep = 1000.0;
    static const std::array<QString, 4> kUnits
        = { QStringLiteral("KB"), QStringLiteral("MB"), QStringLiteral("GB"), QStringLiteral("TB") };
    if (bytes < 1000)
        return bytes == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(bytes);
    double value = static_cast<double>(bytes) / kStep;
    size_t unit = 0;
    // Rounding may carry into the next unit ("999.6 KB" reads "1.0 MB").
    while (std::round(value) >= kStep && unit + 1 < kUnits.size()) {
        value /= kStep;
        ++unit;
    }
    const int decimals = std::round(value * 10.0) < 100.0 ? 1 : 0;
    return QStringLiteral("%1 %2").arg(value, 0, 'f', decimals).arg(kUnits[unit]);
}

} // namespace lumaquill
