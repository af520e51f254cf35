#include "keys/QuestionSet.h"
#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/dialogs/QuizlockAnswerDialog.h"
#include "ui/dialogs/QuizlockSetupDialog.h"
#include "ui/template/FieldWidthValidator.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

constexpr int FirstSlotId = 1037;
constexpr int FirstQuestionRowId = 1037;
constexpr int FirstAnswerButtonId = 1043;
constexpr int kFirstStatusId = QuizlockAnswerDialog::kFirstStatusId;
constexpr int AnswerId = 1039;
constexpr int HintId = 1040;
constexpr int QuestionId = 1041;

struct Typed {
    QString Question;
    QString Answer;
    // Left as it is (empty on the setup side) when null.
    QString Hint = QString();
};

// Acts on the question dialog that the next click opens: types into it and
// confirms, or closes it with Escape when cancel is set.
test::ModalAction::Action FillQuestion(const Typed& typed, bool cancel = false)
{
    return [typed, cancel](QWidget* window) {
        auto* dialog = qobject_cast<QuestionDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        if (dialog->Combo(QuestionId)->isEnabled()) {
            // A slot set before shows its question: typed over, as a user would.
            dialog->Combo(QuestionId)->lineEdit()->clear();
            test::TypeText(dialog->Combo(QuestionId)->lineEdit(), typed.Question);
        }
        test::TypeText(dialog->Edit(AnswerId), typed.Answer);
        if (!typed.Hint.isNull()) {
            dialog->Edit(HintId)->clear();
            test::TypeText(dialog->Edit(HintId), typed.Hint);
        }
        if (cancel)
            test::PressKey(dialog, Qt::Key_Escape);
        else
            dialog->Button(kIdOk)->click();
    };
}

// Clicks the button and answers the question dialog it opens; returns that
// dialog's window title.
QString ClickAndFill(QPushButton* button, const Typed& typed, bool cancel = false)
{
    test::ModalAction fill(FillQuestion(typed, cancel));
    button->click();
    EXPECT_TRUE(fill.Done());
    return fill.Title();
}

TEST(QuizlockSetupDialogTest, ShowsFiveUnsetSlots)
{
    QuestionSet questions;
    test::ScriptedPrompts prompts;
    QuizlockSetupDialog dialog(questions, prompts);
    EXPECT_EQ(dialog.TemplateId(), 134);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Quizlock"));
    test::ExpectControls(dialog,
        {
            { 1037, "QPushButton", "Add a question...", {} },
            { 1038, "QPushButton", "Add a question...", {} },
            { 1039, "QPushButton", "Add a question...", {} },
            { 1040, "QPushButton", "Add a question...", {} },
            { 1041, "QPushButton", "Add a question...", {} },
            { kIdOk, "QPushButton", "OK", {} },
            { kIdCancel, "QPushButton", "Cancel", {} },
        });
    EXPECT_TRUE(dialog.Button(kIdOk)->isDefault());
    EXPECT_EQ(test::LabelTexts(dialog),
        QStringList({ QStringLiteral("Ask up to five questions that only the recipient can answer. The answers, "
                                     "exactly as typed, take the place of the password."),
            QStringLiteral("#1"), QStringLiteral("#2"), QStringLiteral("#3"), QStringLiteral("#4"),
            QStringLiteral("#5") }));
    for (int k = 0; k + 1 < QuestionSet::kSlots; ++k)
        EXPECT_LT(dialog.Button(FirstSlotId + k)->y(), dialog.Button(FirstSlotId + k + 1)->y());
}

TEST(QuizlockSetupDialogTest, AConfirmedQuestionFillsItsSlotAndNamesItsButton)
{
    QuestionSet questions;
    test::ScriptedPrompts prompts;
    QuizlockSetupDialog dialog(questions, prompts);
    dialog.show();
    const QString title = ClickAndFill(dialog.Button(1039), { QStringLiteral("Our street?"), QStringLiteral("Elm") });
    EXPECT_EQ(title, QStringLiteral("Question #3"));
    EXPECT_EQ(questions.Questions[2], "Our street?");
    EXPECT_EQ(questions.Hints[2], "");
    EXPECT_EQ(questions.Answers[2], "Elm");
    EXPECT_TRUE(questions.UsedFlags[2]);
    EXPECT_EQ(questions.AnswerKeys[2], AnswerKey("Elm"));
    EXPECT_EQ(dialog.ControlText(1039), QStringLiteral("Our street?"));
    for (int k : { 0, 1, 3, 4 }) {
        EXPECT_FALSE(questions.UsedFlags[k]);
        EXPECT_EQ(dialog.ControlText(FirstSlotId + k), QStringLiteral("Add a question..."));
    }
}

TEST(QuizlockSetupDialogTest, AnEmptyQuestionLeavesTheSlotUnusedAndItsButtonOffersToAddOne)
{
    QuestionSet questions;
    test::ScriptedPrompts prompts;
    QuizlockSetupDialog dialog(questions, prompts);
    dialog.show();
    ClickAndFill(dialog.Button(1037), { QString(), QStringLiteral("typed anyway"), QStringLiteral("a hint") });
    EXPECT_FALSE(questions.UsedFlags[0]);
    EXPECT_TRUE(questions.Questions[0].empty());
    EXPECT_EQ(dialog.ControlText(1037), QStringLiteral("Add a question..."));
}

TEST(QuizlockSetupDialogTest, ACancelledQuestionChangesNothingAndASecondConfirmWins)
{
    QuestionSet questions;
    test::ScriptedPrompts prompts;
    QuizlockSetupDialog dialog(questions, prompts);
    dialog.show();
    ClickAndFill(dialog.Button(1040), { QStringLiteral("First?"), QStringLiteral("one") });
    ClickAndFill(dialog.Button(1040), { QStringLiteral("Never?"), QStringLiteral("no") }, true);
    EXPECT_EQ(questions.Questions[3], "First?");
    EXPECT_EQ(questions.AnswerKeys[3], AnswerKey("one"));
    EXPECT_EQ(dialog.ControlText(1040), QStringLiteral("First?"));

    ClickAndFill(dialog.Button(1040), { QStringLiteral("Second?"), QStringLiteral("two"), QStringLiteral("h") });
    EXPECT_EQ(questions.Questions[3], "Second?");
    EXPECT_EQ(questions.Hints[3], "h");
    EXPECT_EQ(questions.Answers[3], "two");
    EXPECT_EQ(questions.AnswerKeys[3], AnswerKey("two"));
    EXPECT_EQ(dialog.ControlText(1040), QStringLiteral("Second?"));
}

// Looking at a set question keeps it: the slot shows its question and
// hint, and OK needs the answer typed again (an empty one is refused, so
// the slot cannot lose its key by a look).
TEST(QuizlockSetupDialogTest, AReopenedSlotShowsItsQuestionAndHintAndWantsTheAnswerAgain)
{
    QuestionSet questions;
    test::ScriptedPrompts prompts;
    QuizlockSetupDialog dialog(questions, prompts);
    dialog.show();
    ClickAndFill(dialog.Button(1038), { QStringLiteral("Our street?"), QStringLiteral("Elm"), QStringLiteral("door") });
    test::ModalAction look([&](QWidget* window) {
        auto* question = qobject_cast<QuestionDialog*>(window);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->ControlText(QuestionId), QStringLiteral("Our street?"));
        EXPECT_EQ(question->ControlText(HintId), QStringLiteral("door"));
        EXPECT_TRUE(question->ControlText(AnswerId).isEmpty());
        question->Button(kIdOk)->click();
        EXPECT_TRUE(question->isVisible());
        test::TypeText(question->Edit(AnswerId), QStringLiteral("Oak\n"));
    });
    dialog.Button(1038)->click();
    EXPECT_TRUE(look.Done());
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("Please enter an answer."));
    EXPECT_EQ(questions.Questions[1], "Our street?");
    EXPECT_EQ(questions.Hints[1], "door");
    EXPECT_EQ(questions.UsedFlags[1], 1);
    EXPECT_EQ(questions.AnswerKeys[1], AnswerKey("Oak"));
    EXPECT_EQ(dialog.ControlText(1038), QStringLiteral("Our street?"));
}

// A push button takes '&' as the mark of a shortcut letter; the question
// is shown as typed.
TEST(QuizlockSetupDialogTest, AnAmpersandInAQuestionIsShownAsTyped)
{
    QuestionSet questions;
    test::ScriptedPrompts prompts;
    QuizlockSetupDialog dialog(questions, prompts);
    dialog.show();
    ClickAndFill(dialog.Button(1037), { QStringLiteral("Tom & Jerry?"), QStringLiteral("cat") });
    EXPECT_EQ(questions.Questions[0], "Tom & Jerry?");
    EXPECT_EQ(dialog.Button(1037)->text(), QStringLiteral("Tom && Jerry?"));
}

// Questions as the engine reads them from a container.
QuestionSet StoredQuestions(const std::vector<std::pair<std::string, std::string>>& questionAndAnswer)
{
    QuestionSet questions;
    for (size_t k = 0; k < questionAndAnswer.size(); ++k) {
        questions.Questions[k] = questionAndAnswer[k].first;
        questions.Hints[k] = "hint " + std::to_string(k + 1);
        questions.AnswerKeys[k] = AnswerKey(questionAndAnswer[k].second);
        questions.UsedFlags[k] = true;
    }
    return questions;
}

TEST(QuizlockAnswerDialogTest, ShowsARowForEachStoredQuestionOnly)
{
    QuestionSet questions = StoredQuestions({ { "First?", "one" }, { "Second?", "two" } });
    test::ScriptedPrompts dialogPrompts;
    QuizlockAnswerDialog dialog(questions, dialogPrompts);
    dialog.show();
    EXPECT_EQ(dialog.TemplateId(), 137);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Quizlock"));
    EXPECT_EQ(test::LabelTexts(dialog).first(),
        QStringLiteral("This file has been encoded with Quizlock. Answer the following questions to access the text "
                       "or file."));
    // The questions are plain text, not fields; each row says whether it
    // is answered, and its button says what it does.
    const char* shown[] = { "First?", "Second?" };
    for (int k = 0; k < 2; ++k) {
        EXPECT_TRUE(dialog.Static(FirstQuestionRowId + k)->isVisible());
        EXPECT_EQ(dialog.ControlText(FirstQuestionRowId + k), QString::fromLatin1(shown[k]));
        EXPECT_TRUE(dialog.Static(kFirstStatusId + k)->isVisible());
        EXPECT_EQ(dialog.ControlText(kFirstStatusId + k), QStringLiteral("Unanswered"));
        EXPECT_TRUE(dialog.Button(FirstAnswerButtonId + k)->isVisible());
        EXPECT_EQ(dialog.ControlText(FirstAnswerButtonId + k), QStringLiteral("Answer..."));
        EXPECT_GT(dialog.Button(FirstAnswerButtonId + k)->x(), dialog.Static(kFirstStatusId + k)->x());
        EXPECT_GT(dialog.Static(kFirstStatusId + k)->x(), dialog.Static(FirstQuestionRowId + k)->x());
    }
    for (int k = 2; k < QuestionSet::kSlots; ++k) {
        EXPECT_FALSE(dialog.Static(FirstQuestionRowId + k)->isVisible()) << k;
        EXPECT_FALSE(dialog.Static(kFirstStatusId + k)->isVisible()) << k;
        EXPECT_FALSE(dialog.Button(FirstAnswerButtonId + k)->isVisible()) << k;
    }
    EXPECT_TRUE(dialog.Button(kIdOk)->isDefault());
    EXPECT_EQ(dialog.ControlText(kIdCancel), QStringLiteral("Cancel"));
}

TEST(QuizlockAnswerDialogTest, TheQuestionDialogShowsTheStoredQuestionAndHintFixed)
{
    QuestionSet questions = StoredQuestions({ { "First?", "one" }, { "Second?", "two" } });
    test::ScriptedPrompts dialogPrompts;
    QuizlockAnswerDialog dialog(questions, dialogPrompts);
    dialog.show();
    test::ModalAction look([](QWidget* window) {
        auto* question = qobject_cast<QuestionDialog*>(window);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->windowTitle(), QStringLiteral("Question #2"));
        EXPECT_EQ(question->ControlText(QuestionId), QStringLiteral("Second?"));
        EXPECT_EQ(question->ControlText(HintId), QStringLiteral("hint 2"));
        EXPECT_FALSE(question->Combo(QuestionId)->isEnabled());
        EXPECT_FALSE(question->Edit(HintId)->isEnabled());
        question->reject();
    });
    dialog.Button(1044)->click();
    EXPECT_TRUE(look.Done());
}

// Keys are compared byte for byte; every confirmed answer replaces the
// slot's answer, and the mark follows the answer now given.
TEST(QuizlockAnswerDialogTest, MarksOnlyTheIdenticalAnswerAndFollowsTheLatest)
{
    QuestionSet questions = StoredQuestions({ { "First?", "Paris" }, { "Second?", "two" } });
    const Sha1Bytes stored = questions.AnswerKeys[0];
    test::ScriptedPrompts dialogPrompts;
    QuizlockAnswerDialog dialog(questions, dialogPrompts);
    dialog.show();
    QPushButton* button = dialog.Button(1043);

    ClickAndFill(button, { QString(), QStringLiteral("paris") });
    EXPECT_EQ(dialog.ControlText(kFirstStatusId), QStringLiteral("Unanswered"));
    EXPECT_EQ(questions.Answers[0], "paris");

    ClickAndFill(button, { QString(), QStringLiteral("Paris") });
    EXPECT_EQ(dialog.ControlText(kFirstStatusId), QStringLiteral("Answered"));
    EXPECT_EQ(questions.Answers[0], "Paris");

    ClickAndFill(button, { QString(), QStringLiteral("Lyon") });
    EXPECT_EQ(dialog.ControlText(kFirstStatusId), QStringLiteral("Unanswered"));
    EXPECT_EQ(questions.Answers[0], "Lyon");

    ClickAndFill(button, { QString(), QStringLiteral("Rome") }, true);
    EXPECT_EQ(questions.Answers[0], "Lyon");
    EXPECT_EQ(questions.AnswerKeys[0], stored);
    EXPECT_EQ(dialog.ControlText(kFirstStatusId + 1), QStringLiteral("Unanswered"));
    EXPECT_TRUE(questions.Answers[1].empty());
}

// OK names the first question still without its right answer, as the
// command-line tool does, and keeps the dialog open until all are right.
TEST(QuizlockAnswerDialogTest, OkRefusesAQuestionLeftUnanswered)
{
    QuestionSet questions = StoredQuestions({ { "First?", "one" }, { "Second?", "two" } });
    test::ScriptedPrompts dialogPrompts;
    QuizlockAnswerDialog dialog(questions, dialogPrompts);
    dialog.show();
    ClickAndFill(dialog.Button(1043), { QString(), QStringLiteral("one") });
    ClickAndFill(dialog.Button(1044), { QString(), QStringLiteral("Two") });
    dialog.Button(kIdOk)->click();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(dialogPrompts.Messages.size(), 1u);
    EXPECT_EQ(dialogPrompts.Messages[0].Text, QStringLiteral("Question #2: Unanswered"));
    EXPECT_EQ(dialogPrompts.Messages[0].Icon, MessageIcon::Stop);
    ClickAndFill(dialog.Button(1044), { QString(), QStringLiteral("two") });
    dialog.Button(kIdOk)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialogPrompts.Messages.size(), 1u);
}

// The longest question the question field takes, in the widest letter.
QString WidestQuestion()
{
    Sha1Bytes key = {};
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    dialog.show();
    const QValidator* fits = dialog.Combo(QuestionId)->lineEdit()->validator();
    QString question;
    for (QString longer = QStringLiteral("W");; longer += QLatin1Char('W')) {
        int position = 0;
        if (fits->validate(longer, position) != QValidator::Acceptable)
            return question;
        question = longer;
    }
}

// A question shows whole wherever it appears later: on its setup button
// and in its row of the answer dialog.
TEST(QuizlockDialogsTest, AnyQuestionThatFitsItsFieldShowsWholeOnButtonAndRow)
{
    const QString question = WidestQuestion();
    ASSERT_GT(question.size(), 10);

    QuestionSet questions;
    test::ScriptedPrompts prompts;
    QuizlockSetupDialog setup(questions, prompts);
    setup.show();
    ClickAndFill(setup.Button(1037), { question, QStringLiteral("a") });
    EXPECT_EQ(setup.ControlText(1037), question);
    EXPECT_LE(setup.Button(1037)->sizeHint().width(), setup.Button(1037)->width());

    test::ScriptedPrompts answersPrompts;

    QuizlockAnswerDialog answers(questions, answersPrompts);
    answers.show();
    QLabel* row = answers.Static(FirstQuestionRowId);
    EXPECT_EQ(row->text(), question);
    EXPECT_LE(row->fontMetrics().horizontalAdvance(question), row->width());
}

} // namespace
} // namespace lumaquill
