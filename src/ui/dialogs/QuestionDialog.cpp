#include "ui/dialogs/QuestionDialog.h"

#include "core/MessageText.h"
#include "flows/KeyEntry.h"
#include "ui/dialogs/StoredText.h"
#include "ui/qt/UiPrompts.h"

#include <QComboBox>
#include <QLineEdit>

namespace lumaquill {

namespace {

constexpr int kAnswerId = 1039;
constexpr int kHintId = 1040;
constexpr int kQuestionId = 1041;

// The question field does not scroll: a question is limited to what it
// shows, and it is wide enough for the longest sample.
const DialogTemplate kQuestionTemplate{
    .Id = 135,
    .Caption = QString(),
    .Width = 300,
    .Height = 84,
    .Controls = {
        {kNoControlId, ControlKind::Static, QStringLiteral("Question:"), {7, 9, 40, 8}},
        {kQuestionId, ControlKind::ComboBox, QString(), {50, 7, 243, 110}, ControlStyle::DropDown | ControlStyle::Sort,
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
        {kNoControlId, ControlKind::Static, QStringLiteral("Answer:"), {7, 28, 40, 8}},
        {kAnswerId, ControlKind::Edit, QString(), {50, 26, 243, 12}, ControlStyle::AutoHScroll},
        {kNoControlId, ControlKind::Static, QStringLiteral("Hint:"), {7, 46, 40, 8}},
        {kHintId, ControlKind::Edit, QString(), {50, 44, 243, 12}, ControlStyle::AutoHScroll},
        {kIdOk, ControlKind::PushButton, QStringLiteral("OK"), {243, 63, 50, 14}, ControlStyle::DefaultButton},
    },
};

} // namespace

QuestionDialog::QuestionDialog(Sha1Bytes& keyBuffer, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kQuestionTemplate, parent)
    , KeyBuffer(keyBuffer)
    , Prompts(prompts)
{
}

void QuestionDialog::OnInitDialog()
{
    setWindowTitle(FromStoredText(Caption));
    if (AnswerMode) {
        ShowGivenQuestion();
        EnableControl(kQuestionId, false);
        EnableControl(kHintId, false);
    } else if (!Question.empty()) {
        ShowGivenQuestion();
    } else {
        // A placeholder, not text: an untouched hint is empty.
        Edit(kHintId)->setPlaceholderText(QStringLiteral("Optional"));
    }
}

void QuestionDialog::ShowGivenQuestion()
{
    SetControlText(kQuestionId, FromStoredText(Question));
    SetControlText(kHintId, FromStoredText(Hint));
    // Given texts longer than their fields show their beginning.
    Combo(kQuestionId)->lineEdit()->setCursorPosition(0);
    Edit(kHintId)->setCursorPosition(0);
}

void QuestionDialog::OnOk()
{
    const std::string question = ToStoredText(ControlText(kQuestionId));
    const std::string answer = ToStoredText(ControlText(kAnswerId));
    if (AnswerMode == 0 && !question.empty() && answer.empty()) {
        Prompts.Stop(this, QString::fromUtf8(message::kEnterAnswer));
        return;
    }
    Question = question;
    Hint = ToStoredText(ControlText(kHintId));
    Answer = answer;
    KeyBuffer = AnswerKey(Answer);
    EndDialog(Accepted);
}

} // namespace lumaquill
