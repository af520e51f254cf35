#include "ui/template/FieldWidthValidator.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace lumaquill {

FieldWidthValidator::FieldWidthValidator(QLineEdit* field)
    : QValidator(field)
    , Field(field)
{
}

QValidator::State FieldWidthValidator::validate(QString& input, int&) const
{
    QStyleOptionFrame option;
    option.initFrom(Field);
    option.lineWidth
        = Field->hasFrame() ? Field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, Field) : 0;
    const QRect textArea = Field->style()->subElementRect(QStyle::SE_LineEditContents, &option, Field);
    const QMargins margins = Field->textMargins();
    // The line edit keeps a horizontal margin of 2 pixels on each side of its text.
    const int visible = textArea.width() - margins.left() - margins.right() - 4;
    return Field->fontMetrics().horizontalAdvance(input) <= visible ? Acceptable : Invalid;
}

} // namespace lumaquill
