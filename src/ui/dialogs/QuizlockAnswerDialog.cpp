#include "ui/dialogs/QuizlockAnswerDialog.h"

#include "flows/KeyEntry.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/dialogs/StoredText.h"
#include "ui/qt/UiPrompts.h"

#include <QPushButton>

namespace lumaquill {

namespace {

// Row k shows its question in static kFirstQuestionId + k, whether it is
// answered in static kFirstStatusId + k, and is answered with button
// kFirstAnswerId + k.
constexpr int kFirstQuestionId = 1037;
constexpr int kFirstAnswerId = 1043;
constexpr int kFirstStatusId = QuizlockAnswerDialog::kFirstStatusId;

const QString kUnanswered = QStringLiteral("Unanswered");
const QString kAnswered = QStringLiteral("Answered");
const QString kAnswerButton = QStringLiteral("Answer...");

// As wide as the question field of the question dialog, so that every
// question shows whole.
ControlTemplate QuestionRow(int k)
{
    return { kFirstQuestionId + k, ControlKind::Static, QString(), { 7, 36 + 18 * k, 243, 8 } };
}

ControlTemplate StatusLine(int k)
{
    return { kFirstStatusId + k, ControlKind::Static, kUnanswered, { 254, 36 + 18 * k, 50, 8 } };
}

ControlTemplate AnswerRowButton(int k)
{
    return { kFirstAnswerId + k, ControlKind::PushButton, kAnswerButton, { 307, 33 + 18 * k, 58, 14 } };
}

const DialogTemplate kAnswerTemplate{
    .Id = 137,
    .Caption = QStringLiteral("Quizlock"),
    .Width = 372,
    .Height = 147,
    .Controls = {
        {kNoControlId, ControlKind::Static,
            QStringLiteral("This file has been encoded with Quizlock. Answer the following questions to access the "
                           "text or file."),
            {7, 7, 358, 20}, ControlStyle::WordWrap},
        QuestionRow(0), StatusLine(0), AnswerRowButton(0),
        QuestionRow(1), StatusLine(1), AnswerRowButton(1),
        QuestionRow(2), StatusLine(2), AnswerRowButton(2),
        QuestionRow(3), StatusLine(3), AnswerRowButton(3),
        QuestionRow(4), StatusLine(4), AnswerRowButton(4),
        {kIdOk, ControlKind::PushButton, QStringLiteral("OK"), {262, 126, 50, 14}, ControlStyle::DefaultButton},
        {kIdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {315, 126, 50, 14}},
    },
};

} // namespace

QuizlockAnswerDialog::QuizlockAnswerDialog(QuestionSet& questions, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kAnswerTemplate, parent)
    , Questions(questions)
    , Prompts(prompts)
{
    for (int k = 0; k < QuestionSet::kSlots; ++k)
        connect(Button(kFirstAnswerId + k), &QPushButton::clicked, this, [this, k] { AnswerSlot(k); });
}

void QuizlockAnswerDialog::OnInitDialog()
{
    for (int k = 0; k < QuestionSet::kSlots; ++k) {
        const bool asked = !Questions.Questions[k].empty();
        ShowControl(kFirstQuestionId + k, asked);
        ShowControl(kFirstStatusId + k, asked);
        ShowControl(kFirstAnswerId + k, asked);
        if (asked) {
            // A question longer than its row shows its beginning and end.
            SetElidedText(kFirstQuestionId + k, FromStoredText(Questions.Questions[k]));
            SetControlText(kFirstStatusId + k, kUnanswered);
        }
    }
}

// Every confirmed answer replaces the slot's answer, right or wrong, and
// the mark follows it.
void QuizlockAnswerDialog::AnswerSlot(int k)
{
    Sha1Bytes typedKey = {};
    QuestionDialog question(typedKey, Prompts, this);
    question.Caption = QStringLiteral("Question #%1").arg(k + 1).toStdString();
    question.AnswerMode = true;
    question.Question = Questions.Questions[k];
    question.Hint = Questions.Hints[k];
    if (question.exec() != Accepted)
        return;
    SetControlText(kFirstStatusId + k, typedKey == Questions.AnswerKeys[k] ? kAnswered : kUnanswered);
    Questions.Answers[k] = question.Answer;
}

// A question without its right answer would only fail the decode later:
// it is named here, and the dialog stays open for it.
void QuizlockAnswerDialog::OnOk()
{
    for (int k = 0; k < QuestionSet::kSlots; ++k) {
        if (!Questions.Questions[k].empty() && AnswerKey(Questions.Answers[k]) != Questions.AnswerKeys[k]) {
            Prompts.Stop(this, QStringLiteral("Question #%1: %2").arg(k + 1).arg(kUnanswered));
            return;
        }
    }
    EndDialog(Accepted);
}

} // namespace lumaquill
