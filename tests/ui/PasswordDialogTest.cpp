#include "ui/dialogs/PasswordDialog.h"

#include "flows/KeyDigests.h"
#include "keys/DigestHex.h"
#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/dialogs/QuizlockAnswerDialog.h"
#include "ui/dialogs/QuizlockSetupDialog.h"
#include "ui/dialogs/SpeedCost.h"
#include "ui/qt/BusyCursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

constexpr int PasswordId = 1023;
constexpr int ConfirmationId = 1024;
constexpr int QuizlockId = 1036;
constexpr int SpeedId = 1061;
constexpr int SpeedLabelId = 1062;
constexpr int ConfirmationLabelId = 1063;
constexpr int SealId = 1070;
constexpr int QuestionId = 1041;
constexpr int AnswerId = 1039;

TEST(PasswordDialogTest, EncodeLayoutAsksTwiceAndStartsAtVeryFast)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    EXPECT_EQ(dialog.TemplateId(), 132);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Password"));
    dialog.show();
    test::ExpectControls(dialog,
        {
            { PasswordId, "QLineEdit", "", {} },
            { ConfirmationLabelId, "QLabel", "Confirm Password:", {} },
            { ConfirmationId, "QLineEdit", "", {} },
            { SpeedLabelId, "QLabel", "Speed:", {} },
            { SpeedId, "QComboBox", "Very Fast", {} },
            { SealId, "QCheckBox", "Seal with strong encryption", { 80, 70, 113, 10 } },
            { QuizlockId, "QPushButton", "Quizlock", {} },
            { kIdOk, "QPushButton", "OK", {} },
            { kIdCancel, "QPushButton", "Cancel", {} },
        });
    EXPECT_TRUE(test::LabelTexts(dialog).contains(QStringLiteral("Enter Password:")));
    EXPECT_EQ(dialog.Edit(PasswordId)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.Edit(ConfirmationId)->echoMode(), QLineEdit::Password);
    QComboBox* speed = dialog.Combo(SpeedId);
    EXPECT_FALSE(speed->isEditable());
    EXPECT_EQ(speed->currentIndex(), 0);
    const char* entries[] = { "Very Fast", "Fast", "Normal", "Slow", "Very Slow" };
    ASSERT_EQ(speed->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(speed->itemText(i), QString::fromLatin1(entries[i]));
    EXPECT_TRUE(dialog.Button(kIdOk)->isDefault());
    for (int id : { ConfirmationId, SpeedId, SealId, QuizlockId })
        EXPECT_TRUE(dialog.Control(id)->isVisible()) << id;
    // Unticked, below the speed list and clear of the buttons.
    EXPECT_FALSE(dialog.IsChecked(SealId));
    EXPECT_TRUE(dialog.Control(SealId)->isEnabled());
    EXPECT_GT(dialog.Control(SealId)->geometry().top(), dialog.Control(SpeedId)->geometry().bottom());
    EXPECT_LT(dialog.Control(SealId)->geometry().bottom(), dialog.Button(kIdOk)->geometry().top());
    EXPECT_EQ(test::FocusWhenActivated(dialog), dialog.Edit(PasswordId));
}

// Below the speed list: what the selected speed costs on this computer,
// scaled from the measured rate by each setting's passes.
TEST(PasswordDialogTest, TheSpeedListSaysWhatEachSettingCosts)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    dialog.show();
    constexpr int CostId = 1071;
    for (int speed = 0; speed < 5; ++speed) {
        SCOPED_TRACE(speed);
        dialog.Combo(SpeedId)->setCurrentIndex(speed);
        EXPECT_EQ(dialog.ControlText(CostId), SpeedCost::Text(speed));
        EXPECT_TRUE(dialog.ControlText(CostId).startsWith(QStringLiteral("Takes ")));
        // Whole, not shortened.
        EXPECT_EQ(dialog.Static(CostId)->text(), dialog.ControlText(CostId));
    }
    EXPECT_LT(dialog.Control(CostId)->geometry().bottom(), dialog.Control(SealId)->geometry().top());
    EXPECT_GT(dialog.Control(CostId)->geometry().top(), dialog.Control(SpeedId)->geometry().bottom());
    EXPECT_NEAR(SpeedCost::Seconds(10000000), 10000 * SpeedCost::Seconds(1000), 1e-9);
}

TEST(SpeedCostTest, WordsForTheTime)
{
    const std::pair<double, const char*> cases[] = {
        { 0.004, "less than a second" },
        { 1.2, "about a second" },
        { 8.4, "about 8 seconds" },
        { 89.0, "about 89 seconds" },
        { 150.0, "about 3 minutes" },
    };
    for (const auto& [seconds, words] : cases)
        EXPECT_EQ(SpeedCost::Words(seconds), QString::fromLatin1(words)) << seconds;
}

TEST(PasswordDialogTest, DecodeLayoutAsksOnce)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    dialog.DecodeMode = true;
    dialog.show();
    EXPECT_TRUE(dialog.ControlText(ConfirmationLabelId).isEmpty());
    EXPECT_TRUE(dialog.ControlText(SpeedLabelId).isEmpty());
    for (int id : { ConfirmationId, SpeedId, SealId, QuizlockId })
        EXPECT_FALSE(dialog.Control(id)->isVisible()) << id;
    EXPECT_TRUE(dialog.Edit(PasswordId)->isVisible());
    EXPECT_TRUE(dialog.Button(kIdOk)->isVisible());
    EXPECT_TRUE(dialog.Button(kIdCancel)->isVisible());
}

struct CheckCase {
    const char* Name;
    bool DecodeMode;
    const char* Password;
    const char* Confirmation;
    // Empty when the password is accepted.
    const char* Refusal;
};

// The checks run in this order and the first failure is the one shown;
// decoding takes any password that is not empty.
TEST(PasswordDialogTest, ChecksThePasswordInOrderAndStaysOpenOnEachRefusal)
{
    const CheckCase cases[] = {
        { "encode, nothing typed", 0, "", "", "Please enter a password." },
        { "encode, confirmation only", 0, "", "secret", "Please enter a password." },
        { "encode, typed once", 0, "secret", "", "Please enter the password twice." },
        { "encode, three characters differing", 0, "abc", "abd", "Passwords do not match." },
        { "encode, letter case differs", 0, "Secret", "secret", "Passwords do not match." },
        { "encode, three characters twice", 0, "abc", "abc", "Passwords should be at least four characters long." },
        { "encode, four characters twice", 0, "abcd", "abcd", "" },
        { "encode, two-byte characters count as bytes", 0, "\u00E9\u00E9", "\u00E9\u00E9", "" },
        { "decode, nothing typed", 1, "", "", "Please enter a password." },
        { "decode, one character", 1, "x", "", "" },
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::ScriptedPrompts prompts;
        bool busyWhileTold = false;
        prompts.OnMessage = [&](const test::ShownMessage&) { busyWhileTold = BusyCursor::Active(); };
        PasswordDialog dialog(prompts);
        dialog.DecodeMode = c.DecodeMode;
        QuestionSet stale;
        stale.UsedFlags = { 1, 1, 0, 0, 0 };
        dialog.SetStoredQuestions(stale);
        dialog.QuestionsStored = 0;
        dialog.show();
        test::TypeText(dialog.Edit(PasswordId), QString::fromUtf8(c.Password));
        test::TypeText(dialog.Edit(ConfirmationId), QString::fromUtf8(c.Confirmation));
        dialog.Button(kIdOk)->click();
        // A typed password never carries questions, even when it is refused.
        EXPECT_EQ(dialog.Key().Questions.UsedFlags, (std::array<bool, QuestionSet::kSlots> {}));
        if (*c.Refusal != '\0') {
            ASSERT_EQ(prompts.Messages.size(), 1u);
            EXPECT_EQ(prompts.Messages[0].Text, QString::fromUtf8(c.Refusal));
            EXPECT_EQ(prompts.Messages[0].Icon, MessageIcon::Stop);
            EXPECT_TRUE(busyWhileTold);
            EXPECT_FALSE(BusyCursor::Active());
            EXPECT_TRUE(dialog.isVisible());
        } else {
            EXPECT_TRUE(prompts.Messages.empty());
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            const KeyDigests expected = KeyDigests::FromText(c.Password);
            EXPECT_EQ(dialog.Key().Digests.Sha1, expected.Sha1);
            EXPECT_EQ(dialog.Key().Digests.Md5, expected.Md5);
        }
    }
}

// Digests of the password's UTF-8 bytes: SHA-1 (FIPS 180-1 appendix A) and
// MD5 (RFC 1321 appendix A.5) of "abc".
TEST(PasswordDialogTest, OkGivesTheDigestsOfThePasswordAndTheChosenSpeed)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    dialog.DecodeMode = true;
    test::ModalAction type([&](QWidget*) { test::TypeText(dialog.Edit(PasswordId), QStringLiteral("abc\n")); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(DigestHex(dialog.Key().Digests.Sha1), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(DigestHex(dialog.Key().Digests.Md5), "900150983CD24FB0D6963F7D28E17F72");

    PasswordDialog encode(prompts);
    test::ModalAction slow([&](QWidget*) {
        encode.Combo(SpeedId)->setCurrentIndex(encode.Combo(SpeedId)->findText(QStringLiteral("Slow")));
        test::TypeText(encode.Edit(PasswordId), QStringLiteral("abcd"));
        test::TypeText(encode.Edit(ConfirmationId), QStringLiteral("abcd"));
        encode.Button(kIdOk)->click();
    });
    EXPECT_EQ(encode.exec(), QDialog::Accepted);
    EXPECT_EQ(encode.Key().Speed, 3);
    EXPECT_TRUE(prompts.Messages.empty());
}

// The typed password is kept for sealing (or opening a sealed image); the
// box counts only when encoding.
TEST(PasswordDialogTest, OkKeepsThePasswordAndWhetherToSeal)
{
    struct SealCase {
        int32_t DecodeMode;
        bool Ticked;
        bool Seal;
    };
    for (const SealCase c : { SealCase { 0, false, false }, SealCase { 0, true, true }, SealCase { 1, true, false } }) {
        SCOPED_TRACE(c.DecodeMode * 2 + c.Ticked);
        test::ScriptedPrompts prompts;
        PasswordDialog dialog(prompts);
        dialog.DecodeMode = c.DecodeMode;
        dialog.show();
        dialog.SetChecked(SealId, c.Ticked);
        test::TypeText(dialog.Edit(PasswordId), QStringLiteral("s\u00E9cret"));
        test::TypeText(dialog.Edit(ConfirmationId), QStringLiteral("s\u00E9cret"));
        dialog.Button(kIdOk)->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Key().Seal, c.Seal);
        EXPECT_EQ(dialog.Key().Password.View(),
            "s\xC3\xA9"
            "cret");
    }
}

// A stealth image is sealed by its nature and keyed by a password only: the
// seal box shows ticked and cannot be unticked, the questions button and
// the speed list (Argon2id strengthens the password) are off, and OK gives
// the password with Seal set.
TEST(PasswordDialogTest, StealthShowsTheSealBoxTickedAndFixedAndTurnsQuestionsOff)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    dialog.Stealth = true;
    dialog.show();
    EXPECT_TRUE(dialog.IsChecked(SealId));
    for (int id : { SealId, QuizlockId, SpeedId }) {
        EXPECT_TRUE(dialog.Control(id)->isVisible()) << id;
        EXPECT_FALSE(dialog.Control(id)->isEnabled()) << id;
    }
    dialog.CheckBox(SealId)->click();
    dialog.Button(QuizlockId)->click();
    EXPECT_TRUE(dialog.IsChecked(SealId));
    EXPECT_TRUE(dialog.isVisible());
    test::TypeText(dialog.Edit(PasswordId), QStringLiteral("abcd"));
    test::TypeText(dialog.Edit(ConfirmationId), QStringLiteral("abcd"));
    dialog.Button(kIdOk)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Key().Seal);
    EXPECT_EQ(dialog.Key().Password.View(), "abcd");
    EXPECT_TRUE(prompts.Messages.empty());
}

// Quizlock stores the answers' digests in the clear: with the box ticked the
// setup is refused, and while questions are being set the box is disabled.
TEST(PasswordDialogTest, SealingAndQuestionsExcludeEachOther)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    dialog.show();
    dialog.SetChecked(SealId, true);
    dialog.Button(QuizlockId)->click();
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_TRUE(prompts.Messages[0].Text.startsWith(QStringLiteral("Sealing protects a password only")));
    EXPECT_EQ(prompts.Messages[0].Icon, MessageIcon::Stop);
    EXPECT_TRUE(dialog.isVisible());

    dialog.SetChecked(SealId, false);
    bool enabledDuringSetup = true;
    test::ModalAction setup([&](QWidget* window) {
        enabledDuringSetup = dialog.Control(SealId)->isEnabled();
        qobject_cast<QDialog*>(window)->accept();
    });
    dialog.Button(QuizlockId)->click();
    EXPECT_TRUE(setup.Done());
    EXPECT_FALSE(enabledDuringSetup);
    // No question stored: the dialog stays open for a password.
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.Control(SealId)->isEnabled());
    EXPECT_FALSE(dialog.Key().Seal);
}

TEST(PasswordDialogTest, CancelAndEscapeEndWithCancel)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    test::ModalAction cancel([&](QWidget*) { dialog.Button(kIdCancel)->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);

    PasswordDialog other(prompts);
    test::ModalAction escape([&](QWidget*) { test::PressKey(&other, Qt::Key_Escape); });
    EXPECT_EQ(other.exec(), QDialog::Rejected);
}

// Opens the question dialog of a setup slot, types question and answer and
// confirms; runs inside the setup dialog's modal loop.
void FillSlot(QuizlockSetupDialog& setup, int slotButton, const QString& question, const QString& answer)
{
    test::ModalAction fill([&](QWidget* window) {
        auto* dialog = qobject_cast<QuestionDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        test::TypeText(dialog->Combo(QuestionId)->lineEdit(), question);
        test::TypeText(dialog->Edit(AnswerId), answer);
        dialog->Button(kIdOk)->click();
    });
    setup.Button(slotButton)->click();
    EXPECT_TRUE(fill.Done());
}

// Slots 2 and 4 filled: they move to the front, and their answers joined
// are the key text.
TEST(PasswordDialogTest, QuizlockSetupReplacesThePasswordWithTheAnswersCompacted)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    QuestionSet stale;
    stale.UsedFlags = { 1, 1, 1, 1, 1 };
    stale.AnswerKeys[0] = AnswerKey("stale");
    dialog.SetStoredQuestions(stale);
    dialog.QuestionsStored = 0;
    test::ModalAction openSetup([&](QWidget*) { dialog.Button(QuizlockId)->click(); });
    test::ModalAction setup([&](QWidget* window) {
        auto* quizlock = qobject_cast<QuizlockSetupDialog*>(window);
        ASSERT_NE(quizlock, nullptr);
        EXPECT_EQ(dialog.Key().Questions.UsedFlags, (std::array<bool, QuestionSet::kSlots> {}));
        EXPECT_EQ(dialog.Key().Questions.AnswerKeys[0], Sha1Bytes {});
        FillSlot(*quizlock, 1038, QStringLiteral("Second?"), QStringLiteral("two"));
        FillSlot(*quizlock, 1040, QStringLiteral("Fourth?"), QStringLiteral("four"));
        quizlock->Button(kIdOk)->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(setup.Done());

    const QuestionSet& q = dialog.Key().Questions;
    EXPECT_EQ(q.UsedFlags, (std::array<bool, QuestionSet::kSlots> { true, true, false, false, false }));
    EXPECT_EQ(q.Questions[0], "Second?");
    EXPECT_EQ(q.Questions[1], "Fourth?");
    // Untouched hints are empty.
    EXPECT_EQ(q.Hints[0], "");
    EXPECT_EQ(q.Hints[1], "");
    EXPECT_EQ(q.AnswerKeys[0], AnswerKey("two"));
    EXPECT_EQ(q.AnswerKeys[1], AnswerKey("four"));
    EXPECT_EQ(q.KeyText, "twofour");
    const KeyDigests expected = KeyDigests::FromText("twofour");
    EXPECT_EQ(dialog.Key().Digests.Sha1, expected.Sha1);
    EXPECT_EQ(dialog.Key().Digests.Md5, expected.Md5);
    EXPECT_EQ(dialog.Key().Speed, 0);
    EXPECT_TRUE(prompts.Messages.empty());
}

// A setup that stores no question would leave the empty text as the key,
// which no decode accepts: the dialog asks for a password and stays open.
TEST(PasswordDialogTest, QuizlockSetupWithNoSlotFilledAsksForAPassword)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    test::ModalAction openSetup([&](QWidget*) { dialog.Button(QuizlockId)->click(); });
    test::ModalAction setup([&](QWidget* window) {
        qobject_cast<QDialog*>(window)->accept();
        QTimer::singleShot(0, &dialog, [&] { dialog.reject(); });
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(setup.Title(), QStringLiteral("Quizlock"));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("Please enter a password."));
    EXPECT_EQ(prompts.Messages[0].Icon, MessageIcon::Stop);
    EXPECT_EQ(dialog.Key().Digests.Sha1, Sha1Bytes {});
}

TEST(PasswordDialogTest, CancellingTheQuizlockSetupCancelsThePasswordDialog)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    test::ModalAction openSetup([&](QWidget*) { dialog.Button(QuizlockId)->click(); });
    test::ModalAction setup(test::RejectDialog());
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(setup.Done());
    EXPECT_EQ(dialog.Key().Digests.Sha1, Sha1Bytes {});
}

// A container with questions: the decode goes straight to the answer
// dialog; the password dialog itself never shows.
TEST(PasswordDialogTest, StoredQuestionsGoStraightToTheAnswerDialog)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    dialog.DecodeMode = true;
    dialog.QuestionsStored = 1;
    QuestionSet stored;
    for (int k : { 0, 1 }) {
        stored.Questions[k] = k == 0 ? "First?" : "Second?";
        stored.AnswerKeys[k] = AnswerKey(k == 0 ? "one" : "two");
        stored.UsedFlags[k] = true;
    }
    dialog.SetStoredQuestions(stored);
    test::ModalAction answers([&](QWidget* window) {
        auto* quizlock = qobject_cast<QuizlockAnswerDialog*>(window);
        ASSERT_NE(quizlock, nullptr);
        EXPECT_FALSE(dialog.isVisible());
        for (int k : { 0, 1 }) {
            test::ModalAction type([k](QWidget* question) {
                auto* typed = qobject_cast<QuestionDialog*>(question);
                ASSERT_NE(typed, nullptr);
                test::TypeText(typed->Edit(AnswerId), k == 0 ? QStringLiteral("one") : QStringLiteral("two"));
                typed->Button(kIdOk)->click();
            });
            quizlock->Button(1043 + k)->click();
            EXPECT_EQ(quizlock->ControlText(QuizlockAnswerDialog::kFirstStatusId + k), QStringLiteral("Answered"));
        }
        quizlock->Button(kIdOk)->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(answers.Done());
    EXPECT_EQ(dialog.Key().Questions.KeyText, "onetwo");
    EXPECT_EQ(dialog.Key().Digests.Sha1, KeyDigests::FromText("onetwo").Sha1);
    EXPECT_EQ(dialog.Key().Digests.Md5, KeyDigests::FromText("onetwo").Md5);
}

TEST(PasswordDialogTest, CancellingTheAnswerDialogCancelsTheDecode)
{
    test::ScriptedPrompts prompts;
    PasswordDialog dialog(prompts);
    dialog.DecodeMode = true;
    dialog.QuestionsStored = 1;
    QuestionSet stored;
    stored.Questions[0] = "First?";
    stored.UsedFlags[0] = true;
    dialog.SetStoredQuestions(stored);
    test::ModalAction answers(test::RejectDialog());
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(answers.Title(), QStringLiteral("Quizlock"));
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace lumaquill
