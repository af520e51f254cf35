#include "ui/template/ControlFactory.h"

#include "ui/template/FieldWidthValidator.h"
#include "ui/template/StepProgressBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

namespace lumaquill {

namespace {

QWidget* CreateStatic(const ControlTemplate& control, QWidget* parent)
{
    auto* label = new QLabel(control.Text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(
        (control.Style.testFlag(ControlStyle::Centre) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setWordWrap(control.Style.testFlag(ControlStyle::WordWrap));
    if (control.Style.testFlag(ControlStyle::Border))
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

QWidget* CreatePushButton(const ControlTemplate& control, QWidget* parent)
{
    auto* button = new QPushButton(control.Text, parent);
    button->setDefault(control.Style.testFlag(ControlStyle::DefaultButton));
    if (control.Style.testFlag(ControlStyle::Picture))
        button->setAccessibleName(control.Text);
    return button;
}

QWidget* CreateMultiLineEdit(const ControlTemplate& control, QWidget* parent)
{
    auto* edit = new QPlainTextEdit(control.Text, parent);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    edit->setVerticalScrollBarPolicy(
        control.Style.testFlag(ControlStyle::VScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setTabChangesFocus(true);
    edit->setReadOnly(control.Style.testFlag(ControlStyle::ReadOnly));
    return edit;
}

QWidget* CreateLineEdit(const ControlTemplate& control, QWidget* parent)
{
    auto* edit = new QLineEdit(control.Text, parent);
    if (control.Style.testFlag(ControlStyle::Password))
        edit->setEchoMode(QLineEdit::Password);
    edit->setReadOnly(control.Style.testFlag(ControlStyle::ReadOnly));
    if (!control.Style.testFlag(ControlStyle::AutoHScroll))
        edit->setValidator(new FieldWidthValidator(edit));
    return edit;
}

QWidget* CreateComboBox(const ControlTemplate& control, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    QStringList items = control.Items;
    if (control.Style.testFlag(ControlStyle::Sort)) {
        std::stable_sort(items.begin(), items.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    }
    combo->addItems(items);
    if (control.Style.testFlag(ControlStyle::DropDown)) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        combo->setEditText(control.Text);
        if (!control.Style.testFlag(ControlStyle::AutoHScroll))
            combo->lineEdit()->setValidator(new FieldWidthValidator(combo->lineEdit()));
    } else {
        // A drop-down list starts with nothing selected.
        combo->setCurrentIndex(-1);
    }
    return combo;
}

QWidget* CreateCheckBox(const ControlTemplate& control, QWidget* parent)
{
    auto* box = new QCheckBox(control.Text, parent);
    if (control.Style.testFlag(ControlStyle::LeftText))
        box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

QWidget* CreateProgressBar(const ControlTemplate&, QWidget* parent)
{
    return new StepProgressBar(parent);
}

QWidget* CreateWidget(const ControlTemplate& control, QWidget* parent)
{
    switch (control.Kind) {
    case ControlKind::Static:
        return CreateStatic(control, parent);
    case ControlKind::PushButton:
        return CreatePushButton(control, parent);
    case ControlKind::Edit:
        return control.Style.testFlag(ControlStyle::MultiLine) ? CreateMultiLineEdit(control, parent)
                                                               : CreateLineEdit(control, parent);
    case ControlKind::ComboBox:
        return CreateComboBox(control, parent);
    case ControlKind::CheckBox:
        return CreateCheckBox(control, parent);
    case ControlKind::ProgressBar:
        return CreateProgressBar(control, parent);
    }
    return new QWidget(parent);
}

} // namespace

QWidget* ControlFactory::Create(const ControlTemplate& control, QWidget* parent)
{
    QWidget* widget = CreateWidget(control, parent);
    widget->setObjectName(QStringLiteral("control%1").arg(control.Id));
    widget->setEnabled(!control.Style.testFlag(ControlStyle::Disabled));
    if (control.Style.testFlag(ControlStyle::Hidden))
        widget->setVisible(false);
    return widget;
}

} // namespace lumaquill
