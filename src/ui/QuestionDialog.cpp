#include "ui/QuestionDialog.h"

#include "core/MessageText.h"
#include "flows/KeyEntry.h"
#include "ui/StoredText.h"
#include "ui/UiPrompts.h"

#include <QComboBox>
#include <QLineEdit>

namespace lumaquill {

namespace {

constexpr int AnswerId = 1039;
constexpr int HintId = 1040;
constexpr int QuestionId = 1041;

// The question field does not scroll: a question is limited to what it
// shows, and it is wide enough for the longest sample.
const DialogTemplate QuestionTemplate{
    .Id = 135,
    .Caption = QString(),
    .Width = 300,
    .Height = 84,
    .Controls = {
        {NoControlId, ControlKind::Static, QStringLiteral("Question:"), {7, 9, 40, 8}},
        {QuestionId, ControlKind::ComboBox, QString(), {50, 7, 243, 110}, ControlStyle::DropDown | ControlStyle::Sort,
            {
                QStringLiteral("What is your mother's maiden name?"),
                QStringLiteral("How many years have I known you?"),
                QStringLiteral("In which country did we meet?"),
                QStringLiteral("Who is this photo of?"),
                QStringLiteral("In what month was I born?"),
                QStringLiteral("My favourite musician?"),
                QStringLiteral("My favourite colour?"),
                QStringLiteral("Where did we last meet?"),
                QStringLiteral("The bar in Saratoga where you were mistaken for Quimbly"),
                QStringLiteral("Word 8 on page 23 of \"our book\"."),
                QStringLiteral("The pet name you have for me."),
                QStringLiteral("My favourite football team."),
            }},
        {NoControlId, ControlKind::Static, QStringLiteral("Answer:"), {7, 28, 40, 8}},
        {AnswerId, ControlKind::Edit, QString(), {50, 26, 243, 12}, ControlStyle::AutoHScroll},
        {NoControlId, ControlKind::Static, QStringLiteral("Hint:"), {7, 46, 40, 8}},
        {HintId, ControlKind::Edit, QString(), {50, 44, 243, 12}, ControlStyle::AutoHScroll},
        {IdOk, ControlKind::PushButton, QStringLiteral("OK"), {243, 63, 50, 14}, ControlStyle::DefaultButton},
    },
};

} // namespace

QuestionDialog::QuestionDialog(Sha1Bytes& keyBuffer, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(QuestionTemplate, parent)
    , KeyBuffer(keyBuffer)
    , Prompts(prompts)
{
}

void QuestionDialog::OnInitDialog()
{
    setWindowTitle(FromStoredText(Caption));
    if (AnswerMode) {
        ShowGivenQuestion();
        EnableControl(QuestionId, false);
        EnableControl(HintId, false);
    } else if (!Question.empty()) {
        ShowGivenQuestion();
    } else {
        // A placeholder, not text: an untouched hint is empty.
        Edit(HintId)->setPlaceholderText(QStringLiteral("Optional"));
    }
}

void QuestionDialog::ShowGivenQuestion()
{
    SetControlText(QuestionId, FromStoredText(Question));
    SetControlText(HintId, FromStoredText(Hint));
    // Given texts longer than their fields show their beginning.
    Combo(QuestionId)->lineEdit()->setCursorPosition(0);
    Edit(HintId)->setCursorPosition(0);
}

void QuestionDialog::OnOk()
{
    const std::string question = ToStoredText(ControlText(QuestionId));
    const std::string answer = ToStoredText(ControlText(AnswerId));
    if (AnswerMode == 0 && !question.empty() && answer.empty()) {
        Prompts.Stop(this, QString::fromUtf8(message::kEnterAnswer));
        return;
    }
    Question = question;
    Hint = ToStoredText(ControlText(HintId));
    Answer = answer;
    KeyBuffer = AnswerKey(Answer);
    EndDialog(Accepted);
}

} // namespace lumaquill
