#include "ui/template/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumaquill {

namespace {

// a * b / c rounded half away from zero, without intermediate overflow.
int MulDiv(int a, int b, int c)
{
    const int64_t product = int64_t(a) * b;
    const int64_t half = product < 0 ? -(c / 2) : c / 2;
    return static_cast<int>((product + half) / c);
}

} // namespace

DialogUnits::DialogUnits(int baseX, int baseY)
    : UnitX(baseX)
    , UnitY(baseY)
{
}

DialogUnits::DialogUnits(const QFont& font)
    : DialogUnits(AverageCharWidth(QFontMetrics(font)), QFontMetrics(font).height())
{
}

int DialogUnits::AverageCharWidth(const QFontMetrics& metrics)
{
    static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(kLetters) / 26 + 1) / 2;
}

DialogUnits DialogUnits::Widened(double factor) const
{
    DialogUnits widened = *this;
    widened.Widening = std::max(1.0, Widening * factor);
    return widened;
}

int DialogUnits::X(int dialogUnits) const
{
    if (Widening == 1.0)
        return MulDiv(dialogUnits, UnitX, 4);
    return static_cast<int>(std::lround(dialogUnits * UnitX * Widening / 4.0));
}

int DialogUnits::Y(int dialogUnits) const
{
    return MulDiv(dialogUnits, UnitY, 8);
}

QSize DialogUnits::ToPixels(int width, int height) const
{
    return QSize(X(width), Y(height));
}

QRect DialogUnits::ToPixels(const DluRect& rect) const
{
    return QRect(X(rect.X), Y(rect.Y), X(rect.Width), Y(rect.Height));
}

} // namespace lumaquill
