#include "ui/QuizlockAnswerDialog.h"

#include "flows/KeyEntry.h"
#include "ui/QuestionDialog.h"
#include "ui/StoredText.h"
#include "ui/UiPrompts.h"

#include <QPushButton>

namespace lumaquill {

namespace {

// Row k shows its question in static FirstQuestionId + k, whether it is
// answered in static FirstStatusId + k, and is answered with button
// FirstAnswerId + k.
constexpr int FirstQuestionId = 1037;
constexpr int FirstAnswerId = 1043;
constexpr int FirstStatusId = QuizlockAnswerDialog::FirstStatusId;

const QString Unanswered = QStringLiteral("Unanswered");
const QString Answered = QStringLiteral("Answered");
const QString AnswerButton = QStringLiteral("Answer...");

// As wide as the question field of the question dialog, so that every
// question shows whole.
ControlTemplate QuestionRow(int k)
{
    return { FirstQuestionId + k, ControlKind::Static, QString(), { 7, 36 + 18 * k, 243, 8 } };
}

ControlTemplate StatusLine(int k)
{
    return { FirstStatusId + k, ControlKind::Static, Unanswered, { 254, 36 + 18 * k, 50, 8 } };
}

ControlTemplate AnswerRowButton(int k)
{
    return { FirstAnswerId + k, ControlKind::PushButton, AnswerButton, { 307, 33 + 18 * k, 58, 14 } };
}

const DialogTemplate AnswerTemplate{
    .Id = 137,
    .Caption = QStringLiteral("Quizlock"),
    .Width = 372,
    .Height = 147,
    .Controls = {
        {NoControlId, ControlKind::Static,
            QStringLiteral("This file has been encoded with Quizlock. Answer the following questions to access the "
                           "text or file."),
            {7, 7, 358, 20}, ControlStyle::WordWrap},
        QuestionRow(0), StatusLine(0), AnswerRowButton(0),
        QuestionRow(1), StatusLine(1), AnswerRowButton(1),
        QuestionRow(2), StatusLine(2), AnswerRowButton(2),
        QuestionRow(3), StatusLine(3), AnswerRowButton(3),
        QuestionRow(4), StatusLine(4), AnswerRowButton(4),
        {IdOk, ControlKind::PushButton, QStringLiteral("OK"), {262, 126, 50, 14}, ControlStyle::DefaultButton},
        {IdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {315, 126, 50, 14}},
    },
};

} // namespace

QuizlockAnswerDialog::QuizlockAnswerDialog(QuestionSet& questions, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(AnswerTemplate, parent)
    , Questions(questions)
    , Prompts(prompts)
{
    for (int k = 0; k < QuestionSet::kSlots; ++k)
        connect(Button(FirstAnswerId + k), &QPushButton::clicked, this, [this, k] { AnswerSlot(k); });
}

void QuizlockAnswerDialog::OnInitDialog()
{
    for (int k = 0; k < QuestionSet::kSlots; ++k) {
        const bool asked = !Questions.Questions[k].empty();
        ShowControl(FirstQuestionId + k, asked);
        ShowControl(FirstStatusId + k, asked);
        ShowControl(FirstAnswerId + k, asked);
        if (asked) {
            // A question longer than its row shows its beginning and end.
            SetElidedText(FirstQuestionId + k, FromStoredText(Questions.Questions[k]));
            SetControlText(FirstStatusId + k, Unanswered);
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
    SetControlText(FirstStatusId + k, typedKey == Questions.AnswerKeys[k] ? Answered : Unanswered);
    Questions.Answers[k] = question.Answer;
}

// A question without its right answer would only fail the decode later:
// it is named here, and the dialog stays open for it.
void QuizlockAnswerDialog::OnOk()
{
    for (int k = 0; k < QuestionSet::kSlots; ++k) {
        if (!Questions.Questions[k].empty() && AnswerKey(Questions.Answers[k]) != Questions.AnswerKeys[k]) {
            Prompts.Stop(this, QStringLiteral("Question #%1: %2").arg(k + 1).arg(Unanswered));
            return;
        }
    }
    EndDialog(Accepted);
}

} // namespace lumaquill
