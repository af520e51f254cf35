#include "ui/dialogs/TextDialog.h"

#include "ui/dialogs/StoredText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace lumaquill {

namespace {

constexpr int kTextEditId = 1016;

const DialogTemplate kTextTemplate{
    .Id = 131,
    .Caption = QStringLiteral("Text"),
    .Width = 296,
    .Height = 169,
    .Controls = {
        {kTextEditId, ControlKind::Edit, QString(), {7, 7, 282, 133},
            ControlStyle::MultiLine | ControlStyle::WantReturn | ControlStyle::VScroll},
        // Shown with a decoded text only, in the place of the hidden OK.
        {TextDialog::kCopyButtonId, ControlKind::PushButton, QStringLiteral("&Copy"), {186, 148, 50, 14},
            ControlStyle::Hidden},
        {kIdOk, ControlKind::PushButton, QStringLiteral("OK"), {186, 148, 50, 14}, ControlStyle::DefaultButton},
        {kIdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {239, 148, 50, 14}},
    },
};

} // namespace

TextDialog::TextDialog(QWidget* parent)
    : TemplateDialog(kTextTemplate, parent)
{
    BindCommand(kCopyButtonId, &TextDialog::CopyAll);
    MultiLineEdit(kTextEditId)->installEventFilter(this);
}

void TextDialog::CopyAll()
{
    QGuiApplication::clipboard()->setText(MultiLineEdit(kTextEditId)->toPlainText());
}

bool TextDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The edit takes Enter itself (a new line), so only Ctrl+C is looked at.
    QPlainTextEdit* edit = MultiLineEdit(kTextEditId);
    if (watched != edit)
        return TemplateDialog::eventFilter(watched, event);
    const bool copy = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy);
    if (!copy || edit->textCursor().hasSelection())
        return false;
    CopyAll();
    return true;
}

void TextDialog::OnInitDialog()
{
    const bool entry = Mode != DisplayMode;
    SetReadOnly(kTextEditId, !entry);
    if (!Text.empty())
        SetControlText(kTextEditId, FromStoredText(Text));
    setWindowTitle(entry ? QStringLiteral("Text to Encode") : QStringLiteral("Decoded Text"));
    ShowControl(kIdOk, entry);
    ShowControl(kCopyButtonId, !entry);
    SetControlText(kIdCancel, entry ? QStringLiteral("Cancel") : QStringLiteral("Close"));
}

// The text keeps the edit's "\r\n" line breaks: a typed text is stored the
// way every build of the program stores it, so the same typing gives the
// same bytes, and a decoded text comes back line for line (the edit takes
// "\r\n" and a bare "\n" alike).
void TextDialog::OnOk()
{
    Text = ToStoredText(ControlText(kTextEditId));
    EndDialog(Accepted);
}

} // namespace lumaquill
