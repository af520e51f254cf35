#include "ui/TextDialog.h"

#include "ui/StoredText.h"

namespace lumaquill {

namespace {

constexpr int TextEditId = 1016;

const DialogTemplate TextTemplate{
    .Id = 131,
    .Caption = QStringLiteral("Text"),
    .Width = 296,
    .Height = 169,
    .Controls = {
        {TextEditId, ControlKind::Edit, QString(), {7, 7, 282, 133},
            ControlStyle::MultiLine | ControlStyle::WantReturn | ControlStyle::VScroll},
        {IdOk, ControlKind::PushButton, QStringLiteral("OK"), {186, 148, 50, 14}, ControlStyle::DefaultButton},
        {IdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {239, 148, 50, 14}},
    },
};

} // namespace

TextDialog::TextDialog(QWidget* parent)
    : TemplateDialog(TextTemplate, parent)
{
}

void TextDialog::OnInitDialog()
{
    const bool entry = Mode != DisplayMode;
    SetReadOnly(TextEditId, !entry);
    if (!Text.empty())
        SetControlText(TextEditId, FromStoredText(Text));
    setWindowTitle(entry ? QStringLiteral("Text to Encode") : QStringLiteral("Encoded Text"));
    ShowControl(IdOk, entry);
    SetControlText(IdCancel, entry ? QStringLiteral("Cancel") : QStringLiteral("Close"));
}

// The text keeps the edit's "\r\n" line breaks: a typed text is stored the
// way every build of the program stores it, so the same typing gives the
// same bytes, and a decoded text comes back line for line (the edit takes
// "\r\n" and a bare "\n" alike).
void TextDialog::OnOk()
{
    Text = ToStoredText(ControlText(TextEditId));
    EndDialog(Accepted);
}

} // namespace lumaquill
