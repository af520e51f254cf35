#include "ui/QuizlockAnswerDialog.h"

#include "keys/QuestionSet.h"
#include "ui/QuestionDialog.h"
#include "ui/StoredText.h"

#include <QLineEdit>
#include <QPushButton>

namespace lumaquill {

namespace {

// Row k shows its question in edit FirstQuestionId + k and is answered with
// button FirstAnswerId + k.
constexpr int FirstQuestionId = 1037;
constexpr int FirstAnswerId = 1043;

const QString Unanswered = QStringLiteral("Unanswered");
const QString Answered = QStringLiteral("Answered");

ControlTemplate QuestionRow(int k)
{
    return { FirstQuestionId + k, ControlKind::Edit, QString(), { 7, 34 + 18 * k, 241, 12 },
        ControlStyle::ReadOnly | ControlStyle::AutoHScroll };
}

ControlTemplate AnswerButton(int k)
{
    return { FirstAnswerId + k, ControlKind::PushButton, Unanswered, { 253, 33 + 18 * k, 58, 14 } };
}

const DialogTemplate AnswerTemplate{
    .Id = 137,
    .Caption = QStringLiteral("Quizlock"),
    .Width = 318,
    .Height = 147,
    .Controls = {
        {NoControlId, ControlKind::Static,
            QStringLiteral("This file has been encoded with Quizlock. Answer the following questions to access the "
                           "text or file."),
            {7, 7, 304, 20}, ControlStyle::WordWrap},
        QuestionRow(0), AnswerButton(0),
        QuestionRow(1), AnswerButton(1),
        QuestionRow(2), AnswerButton(2),
        QuestionRow(3), AnswerButton(3),
        QuestionRow(4), AnswerButton(4),
        {IdOk, ControlKind::PushButton, QStringLiteral("OK"), {208, 126, 50, 14}, ControlStyle::DefaultButton},
        {IdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {261, 126, 50, 14}},
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
        ShowControl(FirstAnswerId + k, asked);
        if (asked) {
            SetControlText(FirstQuestionId + k, FromStoredText(Questions.Questions[k]));
            // A question longer than its row shows its beginning.
            Edit(FirstQuestionId + k)->setCursorPosition(0);
            SetControlText(FirstAnswerId + k, Unanswered);
        }
    }
}

// Every confirmed answer replaces the slot's answer, right or wrong; only
// a right one changes the mark, so "Answered" stays once it is shown.
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
    if (typedKey == Questions.AnswerKeys[k])
        SetControlText(FirstAnswerId + k, Answered);
    Questions.Answers[k] = question.Answer;
}

} // namespace lumaquill
