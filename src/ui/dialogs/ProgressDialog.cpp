#include "ui/dialogs/ProgressDialog.h"

#include "ui/dialogs/ProgressCaption.h"
#include "ui/template/StepProgressBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QWindow>

namespace lumaquill {

namespace {

const DialogTemplate kProgressTemplate{
    .Id = 147,
    .Caption = QString(),
    .Width = 240,
    .Height = 46,
    .Style = DialogStyle::NoTitleBar | DialogStyle::StayOnTop,
    .Controls = {
        {ProgressDialog::kTextId, ControlKind::Static, QStringLiteral("Some Progress"), {7, 7, 215, 8}},
        {ProgressDialog::kBarId, ControlKind::ProgressBar, QString(), {7, 21, 226, 18}, ControlStyle::Border},
    },
};

// The same window with a Cancel button under the bar, for runs that can
// be stopped.
const DialogTemplate kCancellableTemplate{
    .Id = 148,
    .Caption = QString(),
    .Width = 240,
    .Height = 66,
    .Style = DialogStyle::NoTitleBar | DialogStyle::StayOnTop,
    .Controls = {
        {ProgressDialog::kTextId, ControlKind::Static, QStringLiteral("Some Progress"), {7, 7, 215, 8}},
        {ProgressDialog::kBarId, ControlKind::ProgressBar, QString(), {7, 21, 226, 18}, ControlStyle::Border},
        {kIdCancel, ControlKind::PushButton, QStringLiteral("&Cancel"), {183, 45, 50, 14}},
    },
};

// Everything but user input, timers and sockets: a run must not re-enter
// the program's own logic while it blocks.
constexpr QEventLoop::ProcessEventsFlags PaintOnly
    = QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;

// How long Show waits for the window system to map the window.
constexpr int kExposeWaitMs = 1000;

ProgressDialog* ShownDialog = nullptr;

} // namespace

ProgressDialog::ProgressDialog()
    : TemplateDialog(kProgressTemplate)
{
    Setup();
}

ProgressDialog::ProgressDialog(QWidget* owner, std::function<void()> onCancel)
    : TemplateDialog(kCancellableTemplate, owner)
    , CancelHandler(std::move(onCancel))
{
    Setup();
}

// The window never takes the focus from the dialog whose run it shows; a
// click on its Cancel button needs none.
void ProgressDialog::Setup()
{
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void ProgressDialog::OnCancel()
{
    QPushButton* cancel = Button(kIdCancel);
    if (!CancelHandler || !cancel->isEnabled())
        return;
    cancel->setEnabled(false);
    CancelHandler();
}

ProgressDialog::~ProgressDialog()
{
    if (ShownDialog == this)
        ShownDialog = nullptr;
}

ProgressDialog* ProgressDialog::Shown()
{
    return ShownDialog;
}

void ProgressDialog::Show()
{
    show();
    raise();
    ShownDialog = this;
    WaitUntilExposed();
    Repaint(this);
}

void ProgressDialog::Hide()
{
    hide();
    if (ShownDialog == this)
        ShownDialog = nullptr;
}

void ProgressDialog::SetText(const std::string& text)
{
    SetControlText(kTextId, ProgressCaption::ForUser(text));
    Repaint(Control(kTextId));
}

void ProgressDialog::SetRange(uint32_t max)
{
    Progress(kBarId)->SetRange32(max);
    Repaint(Progress(kBarId));
}

void ProgressDialog::SetStep(int32_t step)
{
    Progress(kBarId)->SetStep(step);
}

void ProgressDialog::SetPos(int32_t position)
{
    Progress(kBarId)->SetPos(position);
    Repaint(Progress(kBarId));
}

void ProgressDialog::StepIt()
{
    Progress(kBarId)->StepIt();
    Repaint(Progress(kBarId));
}

void ProgressDialog::Repaint(QWidget* changed)
{
    if (!isVisible())
        return;
    changed->repaint();
    QCoreApplication::processEvents(PaintOnly);
}

void ProgressDialog::WaitUntilExposed()
{
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(PaintOnly);
        QThread::msleep(1);
    }
}

} // namespace lumaquill
