#include "ui/dialogs/QuestionDialog.h"

#include "keys/DigestHex.h"
#include "keys/QuestionSet.h"
#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

constexpr int AnswerId = 1039;
constexpr int HintId = 1040;
constexpr int QuestionId = 1041;

// The twelve samples in template order.
const QStringList Samples = {
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
};

QStringList Items(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

TEST(QuestionDialogTest, HasItsControlsAndNoCancelButton)
{
    Sha1Bytes key = {};
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    EXPECT_EQ(dialog.TemplateId(), 135);
    test::ExpectControls(dialog,
        {
            { QuestionId, "QComboBox", "", {} },
            { AnswerId, "QLineEdit", "", {} },
            { HintId, "QLineEdit", "", {} },
            { kIdOk, "QPushButton", "OK", {} },
        });
    EXPECT_EQ(dialog.Control(kIdCancel), nullptr);
    EXPECT_TRUE(dialog.Button(kIdOk)->isDefault());
    EXPECT_EQ(test::LabelTexts(dialog),
        QStringList({ QStringLiteral("Question:"), QStringLiteral("Answer:"), QStringLiteral("Hint:") }));
    EXPECT_EQ(dialog.Edit(AnswerId)->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(dialog.Edit(HintId)->echoMode(), QLineEdit::Normal);
}

TEST(QuestionDialogTest, OffersTheTwelveSamplesSortedAlphabetically)
{
    Sha1Bytes key = {};
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    QComboBox* combo = dialog.Combo(QuestionId);
    EXPECT_TRUE(combo->isEditable());
    QStringList sorted = Samples;
    std::sort(sorted.begin(), sorted.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(Items(*combo), sorted);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("How many years have I known you?"));
    EXPECT_EQ(combo->itemText(11), QStringLiteral("Word 8 on page 23 of \"our book\"."));
}

// The question field does not scroll: every sample fits it, and typing
// stops where the field is full.
TEST(QuestionDialogTest, QuestionFieldHoldsEverySampleButNoMoreThanFits)
{
    Sha1Bytes key = {};
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    dialog.show();
    QLineEdit* field = dialog.Combo(QuestionId)->lineEdit();
    ASSERT_NE(field->validator(), nullptr);
    for (QString sample : Samples) {
        int position = 0;
        EXPECT_EQ(field->validator()->validate(sample, position), QValidator::Acceptable) << sample.toStdString();
    }
    test::TypeText(field, QString(200, QLatin1Char('W')));
    EXPECT_GT(field->text().size(), 10);
    EXPECT_LT(field->text().size(), 200);
}

TEST(QuestionDialogTest, SetupModeShowsOptionalAsTheHintsPlaceholderAndStoresWhatIsTyped)
{
    Sha1Bytes key = {};
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    dialog.Caption = "Question #3";
    test::ModalAction fill([&](QWidget*) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Question #3"));
        EXPECT_TRUE(dialog.ControlText(QuestionId).isEmpty());
        EXPECT_TRUE(dialog.ControlText(AnswerId).isEmpty());
        EXPECT_TRUE(dialog.ControlText(HintId).isEmpty());
        EXPECT_EQ(dialog.Edit(HintId)->placeholderText(), QStringLiteral("Optional"));
        EXPECT_TRUE(dialog.Combo(QuestionId)->isEnabled());
        EXPECT_TRUE(dialog.Edit(HintId)->isEnabled());
        test::TypeText(dialog.Combo(QuestionId)->lineEdit(), QStringLiteral("Our street?"));
        test::TypeText(dialog.Edit(AnswerId), QStringLiteral("abc"));
        dialog.Edit(HintId)->clear();
        test::TypeText(dialog.Edit(HintId), QStringLiteral("caf\u00E9"));
        dialog.Button(kIdOk)->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Question, "Our street?");
    EXPECT_EQ(dialog.Answer, "abc");
    EXPECT_EQ(dialog.Hint, "caf\xC3\xA9");
    // SHA-1("abc"), FIPS 180-1 appendix A.
    EXPECT_EQ(DigestHex(key), "A9993E364706816ABA3E25717850C26C9CD0D89D");
}

// An untouched hint is empty: "Optional" is only its placeholder.
TEST(QuestionDialogTest, PickingASampleAndConfirmingLeavesTheHintEmpty)
{
    Sha1Bytes key = {};
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    test::ModalAction pick([&](QWidget*) {
        QComboBox* combo = dialog.Combo(QuestionId);
        combo->setCurrentIndex(combo->findText(QStringLiteral("My favourite colour?")));
        test::TypeText(dialog.Edit(AnswerId), QStringLiteral("abc"));
        dialog.Button(kIdOk)->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Question, "My favourite colour?");
    EXPECT_EQ(dialog.Hint, "");
    EXPECT_EQ(dialog.Answer, "abc");
    EXPECT_EQ(DigestHex(key), "A9993E364706816ABA3E25717850C26C9CD0D89D");
}

// A question keyed with an empty answer would open the image for anyone:
// setting one up, OK (or Enter) refuses it with the stop icon and the
// dialog stays open; an unset slot (no question) needs no answer.
TEST(QuestionDialogTest, SetupRefusesAQuestionWithoutAnAnswer)
{
    Sha1Bytes key = AnswerKey("before");
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    test::ModalAction fill([&](QWidget*) {
        test::TypeText(dialog.Combo(QuestionId)->lineEdit(), QStringLiteral("Our street?\n"));
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(key, AnswerKey("before"));
        EXPECT_TRUE(dialog.Question.empty());
        test::TypeText(dialog.Edit(AnswerId), QStringLiteral("Elm\n"));
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    for (const test::ShownMessage& message : prompts.Messages) {
        EXPECT_EQ(message.Text, QStringLiteral("Please enter an answer."));
        EXPECT_EQ(message.Icon, MessageIcon::Stop);
    }
    EXPECT_EQ(dialog.Answer, "Elm");
    EXPECT_EQ(key, AnswerKey("Elm"));
}

TEST(QuestionDialogTest, EmptyAnswersPassWhereNoQuestionIsSetUp)
{
    struct Case {
        const char* Name;
        int32_t AnswerMode;
        const char* Question;
    };
    const Case cases[] = {
        { "setup, no question", 0, "" },
        // Images written before may hold an empty answer.
        { "answering a stored question", 1, "Where did we last meet?" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Sha1Bytes key = AnswerKey("before");
        test::ScriptedPrompts prompts;
        QuestionDialog dialog(key, prompts);
        dialog.AnswerMode = c.AnswerMode;
        dialog.Question = c.Question;
        test::ModalAction confirm([&](QWidget*) { dialog.Button(kIdOk)->click(); });
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
        EXPECT_TRUE(prompts.Messages.empty());
        EXPECT_EQ(dialog.Answer, "");
        EXPECT_EQ(key, AnswerKey(""));
    }
}

// A slot set before comes back with its question and hint, editable; its
// answer is typed again.
TEST(QuestionDialogTest, SetupShowsAGivenQuestionAndHintToChange)
{
    Sha1Bytes key = {};
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    dialog.Question = "Our street?";
    dialog.Hint = "";
    test::ModalAction check([&](QWidget*) {
        EXPECT_EQ(dialog.ControlText(QuestionId), QStringLiteral("Our street?"));
        EXPECT_TRUE(dialog.ControlText(HintId).isEmpty());
        EXPECT_TRUE(dialog.ControlText(AnswerId).isEmpty());
        EXPECT_TRUE(dialog.Combo(QuestionId)->isEnabled());
        EXPECT_TRUE(dialog.Edit(HintId)->isEnabled());
        test::TypeText(dialog.Edit(HintId), QStringLiteral("green door"));
        test::TypeText(dialog.Edit(AnswerId), QStringLiteral("Elm\n"));
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Question, "Our street?");
    EXPECT_EQ(dialog.Hint, "green door");
    EXPECT_EQ(key, AnswerKey("Elm"));
}

TEST(QuestionDialogTest, AnswerModeShowsTheFixedQuestionAndHintAndTakesTheAnswer)
{
    Sha1Bytes key = {};
    test::ScriptedPrompts prompts;
    QuestionDialog dialog(key, prompts);
    dialog.Caption = "Question #1";
    dialog.AnswerMode = true;
    dialog.Question = "Where did we last meet?";
    dialog.Hint = "Not the station";
    test::ModalAction answer([&](QWidget*) {
        EXPECT_EQ(dialog.ControlText(QuestionId), QStringLiteral("Where did we last meet?"));
        EXPECT_EQ(dialog.ControlText(HintId), QStringLiteral("Not the station"));
        EXPECT_FALSE(dialog.Combo(QuestionId)->isEnabled());
        EXPECT_FALSE(dialog.Edit(HintId)->isEnabled());
        EXPECT_TRUE(dialog.ControlText(AnswerId).isEmpty());
        EXPECT_EQ(test::FocusWhenActivated(dialog), dialog.Edit(AnswerId));
        test::TypeText(dialog.Edit(AnswerId), QStringLiteral("Paris\n"));
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Answer, "Paris");
    EXPECT_EQ(key, AnswerKey("Paris"));
}

TEST(QuestionDialogTest, EscapeOrTheCloseBoxCancelsAndWritesNothing)
{
    const std::pair<const char*, std::function<void(QuestionDialog&)>> cancels[] = {
        { "Escape", [](QuestionDialog& dialog) { test::PressKey(&dialog, Qt::Key_Escape); } },
        { "close box", [](QuestionDialog& dialog) { dialog.close(); } },
    };
    for (const auto& [name, cancel] : cancels) {
        SCOPED_TRACE(name);
        Sha1Bytes key = AnswerKey("before");
        test::ScriptedPrompts prompts;
        QuestionDialog dialog(key, prompts);
        test::ModalAction type([&](QWidget*) {
            test::TypeText(dialog.Combo(QuestionId)->lineEdit(), QStringLiteral("Q"));
            test::TypeText(dialog.Edit(AnswerId), QStringLiteral("A"));
            cancel(dialog);
        });
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_EQ(key, AnswerKey("before"));
        EXPECT_TRUE(dialog.Question.empty());
        EXPECT_TRUE(dialog.Answer.empty());
        EXPECT_TRUE(dialog.Hint.empty());
    }
}

} // namespace
} // namespace lumaquill
