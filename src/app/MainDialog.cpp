#include "app/MainDialog.h"

#include "app/AboutDialog.h"
#include "keys/RuntimeRandom.h"
#include "ui/dialogs/DecodeDialog.h"
#include "ui/dialogs/EncodeDialog.h"
#include "ui/qt/FileDropTarget.h"
#include "ui/template/UiResources.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <ctime>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace lumaquill {

namespace {

constexpr int kBannerIconId = 141;
constexpr int kEncodePictureId = 142;
constexpr int kDecodePictureId = 143;
constexpr int kAboutStringId = 101;
// The promotional lines are strings 102 to 110.
constexpr int kFirstPromoStringId = 102;
constexpr int kPromoStringCount = 9;
constexpr int kNoticeStringId = 111;

const DialogTemplate kMainTemplate{
    .Id = 140,
    .Caption = QStringLiteral("Lumaquill Nex"),
    .Width = 188,
    .Height = 198,
    .Controls = {
        {MainDialog::kEncodeButtonId, ControlKind::PushButton, QStringLiteral("&Encode"), {7, 79, 84, 50},
            ControlStyle::Picture},
        {MainDialog::kDecodeButtonId, ControlKind::PushButton, QStringLiteral("&Decode"), {97, 79, 84, 50},
            ControlStyle::Picture},
        // The notice has no id in the classic template; one is needed here to
        // give it its text from the string table.
        {MainDialog::kNoticeId, ControlKind::Static, QString(), {7, 136, 173, 18}, ControlStyle::WordWrap},
        {MainDialog::kPromoLineId, ControlKind::Static, QString(), {7, 157, 174, 33}, ControlStyle::WordWrap},
        // The About entry of the window menu, where it can be seen; it takes
        // the band between the banner and the buttons.
        {MainDialog::kAboutButtonId, ControlKind::PushButton, QStringLiteral("&About..."), {131, 61, 50, 14}},
    },
};

} // namespace

MainDialog::MainDialog(StegFlows& flows, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kMainTemplate, parent)
    , Flows(flows)
    , Prompts(prompts)
{
    SetControlText(kNoticeId, UiResources::String(kNoticeStringId));
    BindCommand(kEncodeButtonId, &MainDialog::OnEncode);
    BindCommand(kAboutButtonId, &MainDialog::OpenAbout);
    BindCommand(kDecodeButtonId, &MainDialog::OnDecode);
    new FileDropTarget(Button(kEncodeButtonId), prompts, [this](const QString& path) { EncodeDropped(path); });
    new FileDropTarget(Button(kDecodeButtonId), prompts, [this](const QString& path) { DecodeDropped(path); });
    SetBanner(kBannerIconId, QPoint(27, 10));
}

void MainDialog::OnInitDialog()
{
    SetPicture(kEncodeButtonId, UiResources::Bitmap(kEncodePictureId));
    SetPicture(kDecodeButtonId, UiResources::Bitmap(kDecodePictureId));
    BuildWindowMenu();
    setWindowIcon(UiResources::AppIcon());
    RuntimeSrand(static_cast<uint32_t>(std::time(nullptr)));
    PromoLine();
}

void MainDialog::BuildWindowMenu()
{
    Menu = new QMenu(this);
    QAction* close = Menu->addAction(QStringLiteral("&Close"));
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    close->setShortcutContext(Qt::WidgetShortcut);
    connect(close, &QAction::triggered, this, [this] { OnSysCommand(kCloseCommand); });
    const QString about = UiResources::String(kAboutStringId);
    if (about.isEmpty())
        return;
    Menu->addSeparator();
    QAction* entry = Menu->addAction(about);
    entry->setData(kAboutCommand);
    // Shown in the menu; the window itself handles F1 (keyPressEvent).
    entry->setShortcut(QKeySequence(Qt::Key_F1));
    entry->setShortcutContext(Qt::WidgetShortcut);
    connect(entry, &QAction::triggered, this, [this] { OnSysCommand(kAboutCommand); });
#ifdef Q_OS_WIN
    AppendToSystemMenu(about);
#endif
}

void MainDialog::OnSysCommand(int command)
{
    switch (command & 0xFFF0) {
    case kAboutCommand:
        OpenAbout();
        break;
    case kCloseCommand:
        close();
        break;
    default:
        break;
    }
}

void MainDialog::PromoLine()
{
    const int r = RuntimeRand();
    SetControlText(kPromoLineId, UiResources::String(kFirstPromoStringId + r % kPromoStringCount));
}

void MainDialog::OnEncode()
{
    EncodeDialog dialog(Flows, Prompts);
    dialog.exec();
    PromoLine();
}

void MainDialog::OnDecode()
{
    DecodeDialog dialog(Flows, Prompts);
    dialog.exec();
    PromoLine();
}

// A file dropped on Encode is the payload; the dialog takes it once it is
// up, so that what the choice reports shows over it.
void MainDialog::EncodeDropped(const QString& path)
{
    EncodeDialog dialog(Flows, Prompts);
    QMetaObject::invokeMethod(
        &dialog, [&dialog, path] { dialog.ChoosePayloadFile(path); }, Qt::QueuedConnection);
    dialog.exec();
    PromoLine();
}

void MainDialog::DecodeDropped(const QString& path)
{
    DecodePicture(path);
}

// The dialog takes the picture once it is up, so that what the choice
// reports shows over it.
void MainDialog::DecodePicture(const QString& path)
{
    DecodeDialog dialog(Flows, Prompts);
    QMetaObject::invokeMethod(
        &dialog, [&dialog, path] { dialog.ChooseImageFile(path); }, Qt::QueuedConnection);
    dialog.exec();
    PromoLine();
}

void MainDialog::OpenAbout()
{
    AboutDialog about;
    about.exec();
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event)
{
    if (Menu)
        Menu->exec(event->globalPos());
}

void MainDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        OnSysCommand(kAboutCommand);
        return;
    }
    // Ctrl+Q on every desktop, also where the platform names no Quit keys.
    const bool ctrlQ = event->key() == Qt::Key_Q && event->modifiers() == Qt::ControlModifier;
    if (ctrlQ || event->matches(QKeySequence::Quit)) {
        OnSysCommand(kCloseCommand);
        return;
    }
    // The main window is the program: Escape, a key pressed in passing,
    // does not end it (the close box, Alt+F4 and Ctrl+Q do).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    TemplateDialog::keyPressEvent(event);
}

#ifdef Q_OS_WIN
void MainDialog::AppendToSystemMenu(const QString& text)
{
    HMENU systemMenu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    if (!systemMenu)
        return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, kAboutCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
}

bool MainDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    const MSG* msg = static_cast<const MSG*>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_SYSCOMMAND
        && (msg->wParam & 0xFFF0) == kAboutCommand) {
        OnSysCommand(static_cast<int>(msg->wParam));
        *result = 0;
        return true;
    }
    return TemplateDialog::nativeEvent(eventType, message, result);
}
#endif

} // namespace lumaquill
