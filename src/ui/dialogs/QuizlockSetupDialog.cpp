#include "ui/dialogs/QuizlockSetupDialog.h"

#include "flows/KeyEntry.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/dialogs/StoredText.h"

#include <QPushButton>

namespace lumaquill {

namespace {

// Slot k is edited with button kFirstSlotId + k.
constexpr int kFirstSlotId = 1037;

const QString kInstruction = QStringLiteral("Ask up to five questions that only the recipient can answer. The "
                                            "answers, exactly as typed, take the place of the password.");
// An unused slot's button; a used one shows its question.
const QString kAddQuestion = QStringLiteral("Add a question...");

// The rows start below the instruction.
constexpr int kFirstRowY = 31;

ControlTemplate SlotLabel(int k)
{
    return { kNoControlId, ControlKind::Static, QStringLiteral("#%1").arg(k + 1),
        { 7, kFirstRowY + 3 + 20 * k, 14, 8 } };
}

ControlTemplate SlotButton(int k)
{
    return { kFirstSlotId + k, ControlKind::PushButton, kAddQuestion, { 24, kFirstRowY + 20 * k, 249, 14 } };
}

const DialogTemplate kSetupTemplate{
    .Id = 134,
    .Caption = QStringLiteral("Quizlock"),
    .Width = 280,
    .Height = 152,
    .Controls = {
        {kNoControlId, ControlKind::Static, kInstruction, {7, 7, 266, 20}, ControlStyle::WordWrap},
        SlotLabel(0), SlotButton(0),
        SlotLabel(1), SlotButton(1),
        SlotLabel(2), SlotButton(2),
        SlotLabel(3), SlotButton(3),
        SlotLabel(4), SlotButton(4),
        {kIdOk, ControlKind::PushButton, QStringLiteral("OK"), {170, 131, 50, 14}, ControlStyle::DefaultButton},
        {kIdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {223, 131, 50, 14}},
    },
};

// A push button would take '&' as the mark of a shortcut letter.
QString AsButtonText(const QString& text)
{
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

QuizlockSetupDialog::QuizlockSetupDialog(QuestionSet& questions, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kSetupTemplate, parent)
    , Questions(questions)
    , Prompts(prompts)
{
    for (int k = 0; k < QuestionSet::kSlots; ++k)
        connect(Button(kFirstSlotId + k), &QPushButton::clicked, this, [this, k] { EditSlot(k); });
}

// The question dialog writes the slot's answer key itself, and only on OK.
void QuizlockSetupDialog::EditSlot(int k)
{
    QuestionDialog question(Questions.AnswerKeys[k], Prompts, this);
    question.Caption = QStringLiteral("Question #%1").arg(k + 1).toStdString();
    question.AnswerMode = false;
    if (Questions.UsedFlags[k]) {
        question.Question = Questions.Questions[k];
        question.Hint = Questions.Hints[k];
    }
    if (question.exec() != Accepted)
        return;
    Questions.Questions[k] = question.Question;
    Questions.Hints[k] = question.Hint;
    Questions.Answers[k] = question.Answer;
    Questions.UsedFlags[k] = !question.Question.empty();
    SetControlText(
        kFirstSlotId + k, question.Question.empty() ? kAddQuestion : AsButtonText(FromStoredText(question.Question)));
}

} // namespace lumaquill
