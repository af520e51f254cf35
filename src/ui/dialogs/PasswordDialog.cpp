#include "ui/dialogs/PasswordDialog.h"

#include "core/MessageText.h"
#include "flows/PasswordRules.h"
#include "ui/dialogs/QuizlockAnswerDialog.h"
#include "ui/dialogs/QuizlockSetupDialog.h"
#include "ui/dialogs/SpeedCost.h"
#include "ui/dialogs/StoredText.h"
#include "ui/qt/BusyCursor.h"
#include "ui/qt/UiPrompts.h"

#include <QComboBox>

namespace lumaquill {

namespace {

constexpr int kPasswordId = 1023;
constexpr int kConfirmationId = 1024;
constexpr int kQuizlockId = 1036;
constexpr int kSpeedId = 1061;
constexpr int kSpeedLabelId = 1062;
constexpr int kConfirmationLabelId = 1063;
constexpr int kSealId = 1070;
constexpr int kCostId = 1071;

// The list index is the SpeedSetting.
const DialogTemplate kPasswordTemplate{
    .Id = 132,
    .Caption = QStringLiteral("Password"),
    .Width = 200,
    .Height = 107,
    .Controls = {
        {kNoControlId, ControlKind::Static, QStringLiteral("Enter Password:"), {7, 9, 68, 8}},
        {kPasswordId, ControlKind::Edit, QString(), {80, 7, 113, 12},
            ControlStyle::Password | ControlStyle::AutoHScroll},
        {kConfirmationLabelId, ControlKind::Static, QStringLiteral("Confirm Password:"), {7, 27, 68, 8}},
        {kConfirmationId, ControlKind::Edit, QString(), {80, 25, 113, 12},
            ControlStyle::Password | ControlStyle::AutoHScroll},
        {kSpeedLabelId, ControlKind::Static, QStringLiteral("Speed:"), {7, 45, 68, 8}},
        {kSpeedId, ControlKind::ComboBox, QString(), {80, 43, 113, 70}, ControlStyle::DropDownList,
            {
                QStringLiteral("Very Fast"),
                QStringLiteral("Fast"),
                QStringLiteral("Normal"),
                QStringLiteral("Slow"),
                QStringLiteral("Very Slow"),
            }},
        // What the selected speed costs on this computer.
        {kCostId, ControlKind::Static, QString(), {7, 59, 186, 8}},
        {kSealId, ControlKind::CheckBox, QStringLiteral("S&eal with strong encryption"), {80, 70, 113, 10}},
        {kQuizlockId, ControlKind::PushButton, QStringLiteral("&Quizlock"), {7, 86, 50, 14}},
        {kIdOk, ControlKind::PushButton, QStringLiteral("OK"), {90, 86, 50, 14}, ControlStyle::DefaultButton},
        {kIdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {143, 86, 50, 14}},
    },
};

} // namespace

PasswordDialog::PasswordDialog(UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kPasswordTemplate, parent)
    , Prompts(prompts)
{
    BindCommand(kQuizlockId, &PasswordDialog::RunQuestions);
    connect(Combo(kSpeedId), &QComboBox::currentIndexChanged, this, &PasswordDialog::ShowCost);
}

void PasswordDialog::SetStoredQuestions(const QuestionSet& stored)
{
    Entry.Questions = stored;
    QuestionsStored = 1;
}

void PasswordDialog::ShowCost(int speed)
{
    SetElidedText(kCostId, speed < 0 ? QString() : SpeedCost::Text(speed));
}

// With questions stored the answer dialog is all the user sees: the
// password dialog ends before it is ever shown.
void PasswordDialog::OnInitDialog()
{
    if (QuestionsStored != 0) {
        RunQuestions();
        return;
    }
    if (DecodeMode) {
        SetControlText(kConfirmationLabelId, QString());
        SetControlText(kSpeedLabelId, QString());
        ShowControl(kConfirmationId, false);
        ShowControl(kSpeedId, false);
        ShowControl(kCostId, false);
        ShowControl(kQuizlockId, false);
        // A sealed image needs no choice to open.
        ShowControl(kSealId, false);
    } else {
        Combo(kSpeedId)->setCurrentIndex(0);
        ShowCost(0);
    }
    if (Stealth && !DecodeMode) {
        SetChecked(kSealId, true);
        EnableControl(kSealId, false);
        EnableControl(kQuizlockId, false);
        // Argon2id strengthens a stealth image's password, not the speed.
        EnableControl(kSpeedId, false);
    }
    Entry.Questions.KeyText.clear();
}

void PasswordDialog::OnOk()
{
    BusyCursor busy;
    // A typed password never carries questions.
    Entry.Questions.UsedFlags.fill(false);
    // Held in wiped buffers: the password seals an image.
    const SecretBytes password(ToStoredText(ControlText(kPasswordId)));
    const SecretBytes confirmation(ToStoredText(ControlText(kConfirmationId)));
    const QString refusal = PasswordRefusal(password.View(), confirmation.View());
    if (!refusal.isEmpty()) {
        Prompts.Stop(this, refusal);
        return;
    }
    Entry.Password = password;
    Entry.Seal = !DecodeMode && IsChecked(kSealId);
    Finish(password.View());
}

// The first check that fails, in the order the user is told of them; empty
// when the password is accepted. Decoding accepts any password typed.
QString PasswordDialog::PasswordRefusal(std::string_view password, std::string_view confirmation) const
{
    return QString::fromStdString(
        DecodeMode ? DecodePasswordProblem(password) : EncodePasswordProblem(password, confirmation));
}

// The question dialog's answers take the place of the password; a
// cancelled question dialog cancels this one.
void PasswordDialog::RunQuestions()
{
    // Quizlock stores each answer's digest in the clear, which no sealing
    // can protect.
    if (QuestionsStored == 0 && IsChecked(kSealId)) {
        Prompts.Stop(this, QString::fromUtf8(message::kSealPasswordsOnly));
        return;
    }
    if (!RunQuestionDialog()) {
        EndDialog(Rejected);
        return;
    }
    QuestionSet& questions = Entry.Questions;
    questions.Compact();
    // A setup that stored no question leaves the empty text as the key, and
    // a decode refuses an empty password: the image could never be read
    // back, so a password is asked for instead.
    if (QuestionsStored == 0 && questions.LeadingUsed() == 0) {
        Prompts.Stop(this, QString::fromUtf8(message::kEnterPassword));
        return;
    }
    questions.BuildKeyText();
    Finish(questions.KeyText);
}

// The answer dialog for stored questions, else the setup; sealing cannot be
// chosen while questions are being set. True when it ended with OK.
bool PasswordDialog::RunQuestionDialog()
{
    QWidget* owner = isVisible() ? this : parentWidget();
    if (QuestionsStored != 0) {
        QuizlockAnswerDialog answers(Entry.Questions, Prompts, owner);
        return answers.exec() == Accepted;
    }
    Entry.Questions.ClearFlagsAndKeys();
    EnableControl(kSealId, false);
    QuizlockSetupDialog setup(Entry.Questions, Prompts, owner);
    const bool accepted = setup.exec() == Accepted;
    EnableControl(kSealId, true);
    return accepted;
}

void PasswordDialog::Finish(std::string_view keyText)
{
    Entry.Digests = KeyDigests::FromText(keyText);
    Entry.Speed = Combo(kSpeedId)->currentIndex();
    EndDialog(Accepted);
}

} // namespace lumaquill
