#include "ui/PasswordDialog.h"

#include "flows/KeyDigests.h"
#include "ui/BusyCursor.h"
#include "ui/QuizlockAnswerDialog.h"
#include "ui/QuizlockSetupDialog.h"
#include "ui/StoredText.h"
#include "ui/UiPrompts.h"

#include <QComboBox>

namespace lumaquill {

namespace {

constexpr int PasswordId = 1023;
constexpr int ConfirmationId = 1024;
constexpr int QuizlockId = 1036;
constexpr int SpeedId = 1061;
constexpr int SpeedLabelId = 1062;
constexpr int ConfirmationLabelId = 1063;

// The shortest password accepted when encoding, in bytes.
constexpr size_t MinPasswordBytes = 4;

// The list index is the SpeedSetting.
const DialogTemplate PasswordTemplate{
    .Id = 132,
    .Caption = QStringLiteral("Password"),
    .Width = 200,
    .Height = 84,
    .Controls = {
        {NoControlId, ControlKind::Static, QStringLiteral("Enter Password:"), {7, 9, 68, 8}},
        {PasswordId, ControlKind::Edit, QString(), {80, 7, 113, 12},
            ControlStyle::Password | ControlStyle::AutoHScroll},
        {ConfirmationLabelId, ControlKind::Static, QStringLiteral("Confirm Password:"), {7, 27, 68, 8}},
        {ConfirmationId, ControlKind::Edit, QString(), {80, 25, 113, 12},
            ControlStyle::Password | ControlStyle::AutoHScroll},
        {SpeedLabelId, ControlKind::Static, QStringLiteral("Speed:"), {7, 45, 68, 8}},
        {SpeedId, ControlKind::ComboBox, QString(), {80, 43, 113, 70}, ControlStyle::DropDownList,
            {
                QStringLiteral("Very Fast"),
                QStringLiteral("Fast"),
                QStringLiteral("Normal"),
                QStringLiteral("Slow"),
                QStringLiteral("Very Slow"),
            }},
        {QuizlockId, ControlKind::PushButton, QStringLiteral("Quizlock"), {7, 63, 50, 14}},
        {IdOk, ControlKind::PushButton, QStringLiteral("OK"), {90, 63, 50, 14}, ControlStyle::DefaultButton},
        {IdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {143, 63, 50, 14}},
    },
};

} // namespace

PasswordDialog::PasswordDialog(UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(PasswordTemplate, parent)
    , Prompts(prompts)
{
    BindCommand(QuizlockId, &PasswordDialog::RunQuestions);
}

// With questions stored the answer dialog is all the user sees: the
// password dialog ends before it is ever shown.
void PasswordDialog::OnInitDialog()
{
    if (QuestionsStored != 0) {
        RunQuestions();
        return;
    }
    if (DecodeMode != 0) {
        SetControlText(ConfirmationLabelId, QString());
        SetControlText(SpeedLabelId, QString());
        ShowControl(ConfirmationId, false);
        ShowControl(SpeedId, false);
        ShowControl(QuizlockId, false);
    } else {
        Combo(SpeedId)->setCurrentIndex(0);
    }
    Questions.KeyText.clear();
}

void PasswordDialog::OnOk()
{
    BusyCursor busy;
    // A typed password never carries questions.
    Questions.UsedFlags.fill(0);
    const std::string password = ToStoredText(ControlText(PasswordId));
    const std::string confirmation = ToStoredText(ControlText(ConfirmationId));
    const QString refusal = PasswordRefusal(password, confirmation);
    if (!refusal.isEmpty()) {
        Prompts.Stop(this, refusal);
        return;
    }
    Finish(password);
}

// The first check that fails, in the order the user is told of them; empty
// when the password is accepted. Decoding accepts any password typed.
QString PasswordDialog::PasswordRefusal(const std::string& password, const std::string& confirmation) const
{
    if (password.empty())
        return QStringLiteral("Please enter a password.");
    if (DecodeMode != 0)
        return QString();
    if (confirmation.empty())
        return QStringLiteral("Please enter the password twice.");
    if (password != confirmation)
        return QStringLiteral("Passwords do not match.");
    if (password.size() < MinPasswordBytes)
        return QStringLiteral("Passwords should be at least four characters long.");
    return QString();
}

// The question dialog's answers take the place of the password; a
// cancelled question dialog cancels this one.
void PasswordDialog::RunQuestions()
{
    QWidget* owner = isVisible() ? this : parentWidget();
    int result = Rejected;
    if (QuestionsStored != 0) {
        QuizlockAnswerDialog answers(Questions, Prompts, owner);
        result = answers.exec();
    } else {
        Questions.ClearFlagsAndKeys();
        QuizlockSetupDialog setup(Questions, Prompts, owner);
        result = setup.exec();
    }
    if (result != Accepted) {
        EndDialog(Rejected);
        return;
    }
    Questions.Compact();
    // A setup that stored no question leaves the empty text as the key, and
    // a decode refuses an empty password: the image could never be read
    // back, so a password is asked for instead.
    if (QuestionsStored == 0 && Questions.LeadingUsed() == 0) {
        Prompts.Stop(this, QStringLiteral("Please enter a password."));
        return;
    }
    Questions.BuildKeyText();
    Finish(Questions.KeyText);
}

void PasswordDialog::Finish(const std::string& keyText)
{
    const KeyDigests digests = KeyDigests::FromText(keyText);
    PasswordDigest = digests.Sha1;
    PasswordMd5 = digests.Md5;
    Speed = Combo(SpeedId)->currentIndex();
    EndDialog(Accepted);
}

} // namespace lumaquill
