#pragma once

#include <QValidator>

class QLineEdit;

namespace lumaquill {

// Refuses text wider than the field shows: an edit without horizontal
// auto-scroll takes only what fits into its visible width.
class FieldWidthValidator : public QValidator {
    Q_OBJECT
public:
    explicit FieldWidthValidator(QLineEdit* field);

    State validate(QString& input, int& position) const override;

private:
    QLineEdit* Field;
};

} // namespace lumaquill
