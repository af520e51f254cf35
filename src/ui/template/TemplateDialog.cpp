#include "ui/template/TemplateDialog.h"

#include "ui/template/ControlFactory.h"
#include "ui/template/StepProgressBar.h"
#include "ui/template/TemplateFont.h"
#include "ui/template/UiResources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <qdrawutil.h>

namespace lumaquill {

namespace {

Qt::WindowFlags WindowFlagsFor(DialogStyles style)
{
    Qt::WindowFlags flags = Qt::Dialog;
    if (style.testFlag(DialogStyle::NoTitleBar)) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (style.testFlag(DialogStyle::StayOnTop))
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

bool IsEnterKey(const QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return enter && modifiers == Qt::NoModifier;
}

// The base units of the classic default face at 8 points, for which the
// templates' pixel positions were laid out.
constexpr int kClassicBaseX = 6;
constexpr int kClassicBaseY = 13;
constexpr int kClassicPointSize = 8;

// The width a single-line text control needs for its template text, or 0
// for controls whose text wraps, is absent or is replaced by a picture.
int NeededWidth(const ControlTemplate& control, const QWidget& dialog)
{
    const QString text = QString(control.Text).remove(QLatin1Char('&'));
    if (text.isEmpty())
        return 0;
    const int advance = dialog.fontMetrics().horizontalAdvance(text) + 1;
    const QStyle* style = dialog.style();
    switch (control.Kind) {
    case ControlKind::Static:
        return control.Style.testFlag(ControlStyle::WordWrap) ? 0 : advance;
    case ControlKind::CheckBox:
        return advance + style->pixelMetric(QStyle::PM_IndicatorWidth)
            + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    case ControlKind::PushButton:
        if (control.Style.testFlag(ControlStyle::Picture))
            return 0;
        return advance
            + 2 * (style->pixelMetric(QStyle::PM_ButtonMargin) + style->pixelMetric(QStyle::PM_DefaultFrameWidth));
    default:
        return 0;
    }
}

// A button's text as shown: "&A file" reads "A file", "&&" reads "&".
QString WithoutMnemonic(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

bool InsertsBefore(const QString& text, const QString& item)
{
    return text.compare(item, Qt::CaseInsensitive) < 0;
}

} // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent, WindowFlagsFor(dialogTemplate.Style))
    , Id(dialogTemplate.Id)
    , Style(dialogTemplate.Style)
    , ClassicMetrics(
          TemplateFont::IsDefaultFace(dialogTemplate.FontFace) && dialogTemplate.PointSize == kClassicPointSize)
    , TemplateSize(dialogTemplate.Width, dialogTemplate.Height)
    , Dlu(TemplateFont::Resolve(dialogTemplate.FontFace, dialogTemplate.PointSize))
{
    setFont(TemplateFont::Resolve(dialogTemplate.FontFace, dialogTemplate.PointSize));
    Dlu = Dlu.Widened(TextWidening(dialogTemplate.Controls));
    setWindowTitle(dialogTemplate.Caption);
    setObjectName(QStringLiteral("dialog%1").arg(Id));
    ApplyWindowStyle(dialogTemplate);
    CreateControls(dialogTemplate.Controls);
}

TemplateDialog::~TemplateDialog() = default;

double TemplateDialog::TextWidening(const std::vector<ControlTemplate>& controls) const
{
    double factor = 1.0;
    for (const ControlTemplate& control : controls) {
        const int needed = NeededWidth(control, *this);
        const int available = Dlu.X(control.Rect.Width);
        if (needed > available && available > 0)
            factor = std::max(factor, double(needed) / available);
    }
    return factor;
}

void TemplateDialog::ApplyWindowStyle(const DialogTemplate& dialogTemplate)
{
    const QSize client = Dlu.ToPixels(dialogTemplate.Width, dialogTemplate.Height);
    if (Style.testFlag(DialogStyle::Resizable))
        resize(client);
    else
        setFixedSize(client);
    setSizeGripEnabled(false);
}

void TemplateDialog::CreateControls(const std::vector<ControlTemplate>& controls)
{
    for (const ControlTemplate& control : controls) {
        QWidget* widget = ControlFactory::Create(control, this);
        PlaceControl(control, widget);
        Controls.push_back({ control, widget });
        if (auto* edit = qobject_cast<QPlainTextEdit*>(widget);
            edit && !control.Style.testFlag(ControlStyle::WantReturn))
            edit->installEventFilter(this);
    }
    BindClicked(kIdOk, [this] { accept(); });
    BindClicked(kIdCancel, [this] { reject(); });
}

void TemplateDialog::PlaceControl(const ControlTemplate& control, QWidget* widget) const
{
    QRect rect = Dlu.ToPixels(control.Rect);
    if (control.Kind == ControlKind::ComboBox)
        rect.setHeight(widget->sizeHint().height());
    widget->setGeometry(rect);
}

const TemplateDialog::BoundControl* TemplateDialog::Find(int id) const
{
    if (id == kNoControlId)
        return nullptr;
    for (const BoundControl& control : Controls) {
        if (control.Template.Id == id)
            return &control;
    }
    return nullptr;
}

QWidget* TemplateDialog::Control(int id) const
{
    const BoundControl* control = Find(id);
    return control ? control->Widget : nullptr;
}

QPushButton* TemplateDialog::Button(int id) const
{
    return qobject_cast<QPushButton*>(Control(id));
}
QLabel* TemplateDialog::Static(int id) const
{
    return qobject_cast<QLabel*>(Control(id));
}
QLineEdit* TemplateDialog::Edit(int id) const
{
    return qobject_cast<QLineEdit*>(Control(id));
}
QPlainTextEdit* TemplateDialog::MultiLineEdit(int id) const
{
    return qobject_cast<QPlainTextEdit*>(Control(id));
}
QComboBox* TemplateDialog::Combo(int id) const
{
    return qobject_cast<QComboBox*>(Control(id));
}
QCheckBox* TemplateDialog::CheckBox(int id) const
{
    return qobject_cast<QCheckBox*>(Control(id));
}
StepProgressBar* TemplateDialog::Progress(int id) const
{
    return qobject_cast<StepProgressBar*>(Control(id));
}

QString TemplateDialog::ControlText(int id) const
{
    QWidget* widget = Control(id);
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->accessibleName().isEmpty() ? label->text() : label->accessibleName();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        return edit->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return WithoutMnemonic(button->icon().isNull() ? button->text() : button->accessibleName());
    return QString();
}

void TemplateDialog::SetControlText(int id, const QString& text)
{
    QWidget* widget = Control(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
        label->setToolTip(QString());
        label->setAccessibleName(QString());
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        QString lines = text;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        edit->setPlainText(lines);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(combo->findText(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (button->icon().isNull())
            button->setText(text);
        button->setAccessibleName(button->icon().isNull() ? QString() : text);
    }
}

void TemplateDialog::SetElidedText(int id, const QString& text)
{
    QLabel* label = Static(id);
    if (!label)
        return;
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
    label->setToolTip(text);
    label->setAccessibleName(text);
}

bool TemplateDialog::IsChecked(int id) const
{
    QCheckBox* box = CheckBox(id);
    return box && box->isChecked();
}

void TemplateDialog::SetChecked(int id, bool checked)
{
    if (QCheckBox* box = CheckBox(id))
        box->setChecked(checked);
}

void TemplateDialog::EnableControl(int id, bool enabled)
{
    if (QWidget* widget = Control(id))
        widget->setEnabled(enabled);
}

void TemplateDialog::ShowControl(int id, bool visible)
{
    if (QWidget* widget = Control(id))
        widget->setVisible(visible);
}

void TemplateDialog::SetReadOnly(int id, bool readOnly)
{
    if (QLineEdit* edit = Edit(id))
        edit->setReadOnly(readOnly);
    if (QPlainTextEdit* edit = MultiLineEdit(id))
        edit->setReadOnly(readOnly);
}

void TemplateDialog::AddComboItem(int id, const QString& text)
{
    const BoundControl* control = Find(id);
    QComboBox* combo = Combo(id);
    if (!combo)
        return;
    if (!control->Template.Style.testFlag(ControlStyle::Sort)) {
        combo->addItem(text);
        return;
    }
    int index = 0;
    while (index < combo->count() && !InsertsBefore(text, combo->itemText(index)))
        ++index;
    combo->insertItem(index, text);
}

void TemplateDialog::SetPicture(int id, const QPixmap& picture)
{
    QPushButton* button = Button(id);
    if (!button || picture.isNull())
        return;
    QStyleOptionButton option;
    option.initFrom(button);
    const QSize room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
    const QSize own = picture.deviceIndependentSize().toSize();
    const bool fits = own.width() <= room.width() && own.height() <= room.height();
    if (button->accessibleName().isEmpty())
        button->setAccessibleName(button->text());
    const QKeySequence mnemonic = QKeySequence::mnemonic(button->accessibleName());
    button->setAccessibleName(WithoutMnemonic(button->accessibleName()));
    button->setText(QString());
    // The picture hides the text, not its mnemonic: Alt and the marked
    // letter still press the button (set after the text, which resets it).
    if (!mnemonic.isEmpty())
        button->setShortcut(mnemonic);
    button->setIcon(QIcon(picture));
    button->setIconSize(fits ? own : own.scaled(room, Qt::KeepAspectRatio));
}

void TemplateDialog::EndDialog(int result)
{
    if (Initialising) {
        EndedDuringInit = true;
        setResult(result);
        return;
    }
    done(result);
}

void TemplateDialog::ResizeOuter(const QSize& size)
{
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize client = (size - frame).expandedTo(QSize(1, 1));
    if (Style.testFlag(DialogStyle::Resizable))
        resize(client);
    else
        setFixedSize(client);
}

int TemplateDialog::exec()
{
    EnsureInitialised();
    if (EndedDuringInit) {
        EndedDuringInit = false;
        return result();
    }
    return QDialog::exec();
}

void TemplateDialog::accept()
{
    OnOk();
}

void TemplateDialog::reject()
{
    OnCancel();
}

void TemplateDialog::BindClicked(int id, std::function<void()> handler)
{
    if (auto* button = qobject_cast<QAbstractButton*>(Control(id)))
        connect(button, &QAbstractButton::clicked, this, std::move(handler));
}

void TemplateDialog::SetBanner(int iconId, const QPoint& at)
{
    Banner = UiResources::Icon(iconId);
    BannerAt = at;
    if (ClassicMetrics) {
        const int classicWidth = DialogUnits(kClassicBaseX, kClassicBaseY).X(TemplateSize.width());
        const int shift = (Dlu.X(TemplateSize.width()) - classicWidth) / 2;
        BannerAt = QPoint(at.x() + shift, (at.y() * Dlu.BaseY() + kClassicBaseY / 2) / kClassicBaseY);
    }
    update();
}

QSize TemplateDialog::BannerSize() const
{
    return Banner.deviceIndependentSize().toSize();
}

void TemplateDialog::EnsureInitialised()
{
    if (Initialised)
        return;
    Initialised = true;
    Initialising = true;
    OnInitDialog();
    Initialising = false;
}

void TemplateDialog::showEvent(QShowEvent* event)
{
    EnsureInitialised();
    QDialog::showEvent(event);
    if (EndedDuringInit) {
        // Shown without exec: end it once the show has completed.
        EndedDuringInit = false;
        QMetaObject::invokeMethod(
            this, [this, code = result()] { done(code); }, Qt::QueuedConnection);
    }
}

void TemplateDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    if (Style.testFlag(DialogStyle::NoTitleBar))
        qDrawWinPanel(&painter, rect(), palette(), false);
    if (!Banner.isNull())
        painter.drawPixmap(BannerAt, Banner);
}

void TemplateDialog::keyPressEvent(QKeyEvent* event)
{
    if (IsEnterKey(event)) {
        PressEnter();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TemplateDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && IsEnterKey(static_cast<QKeyEvent*>(event))) {
        PressEnter();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// A focused push button takes Enter itself; with any other focus Enter is
// the dialog's command button. Qt's own default button is not asked: it
// follows the last focused push button, so a check box focused after a
// button would press that button.
void TemplateDialog::PressEnter()
{
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    QPushButton* target = focused && focused->isVisible() ? focused : CommandButton();
    if (target && target->isVisible() && target->isEnabled())
        target->click();
}

// The template's default button, else control 1 (OK), as in the classic
// dialog manager.
QPushButton* TemplateDialog::CommandButton() const
{
    for (const BoundControl& control : Controls) {
        if (control.Template.Kind == ControlKind::PushButton
            && control.Template.Style.testFlag(ControlStyle::DefaultButton))
            return qobject_cast<QPushButton*>(control.Widget);
    }
    return Button(kIdOk);
}

} // namespace lumaquill
