#pragma once

#include "ui/template/DialogTemplate.h"

#include <QRect>
#include <QSize>

class QFont;
class QFontMetrics;

namespace lumaquill {

// Converts dialog units to pixels as the dialog's font dictates, so that a
// template keeps its proportions and fits its texts at any font size or
// screen scale. The base units are the font's average character width and
// its character height; one horizontal dialog unit is a quarter of the
// first, one vertical unit an eighth of the second, each conversion rounded
// to the nearest pixel.
class DialogUnits {
public:
    DialogUnits(int baseX, int baseY);
    explicit DialogUnits(const QFont& font);

    // The average character width the way the classic dialog manager
    // computes it: the width of "A".."Z" "a".."z" divided by 26, rounded up
    // and halved. Unlike QFontMetrics::averageCharWidth it does not depend
    // on the font's own (often missing or odd) average-width field.
    static int AverageCharWidth(const QFontMetrics& metrics);

    int BaseX() const { return UnitX; }
    int BaseY() const { return UnitY; }
    // The same units with every horizontal distance stretched by factor
    // (at least 1): room for texts that run wider in this face than in the
    // face the template was drawn for.
    DialogUnits Widened(double factor) const;

    int X(int dialogUnits) const;
    int Y(int dialogUnits) const;
    QSize ToPixels(int width, int height) const;
    QRect ToPixels(const DluRect& rect) const;

private:
    int UnitX;
    int UnitY;
    double Widening = 1.0;
};

} // namespace lumaquill
