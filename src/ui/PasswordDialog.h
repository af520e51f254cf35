#pragma once

#include "keys/Digests.h"
#include "keys/QuestionSet.h"
#include "seal/SecretBytes.h"
#include "ui/TemplateDialog.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lumaquill {

class UiPrompts;

// Asks for the key (template 132): a password typed twice with a
// strengthening speed when encoding, once when decoding, or the Quizlock
// questions in place of the password.
class PasswordDialog : public TemplateDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(UiPrompts& prompts, QWidget* parent = nullptr);

    // Selected speed list entry: the SpeedSetting; -1 when none is selected.
    int32_t Speed = 0;
    // Set by the caller before the dialog runs.
    bool DecodeMode = false;
    int32_t QuestionsStored = 0;
    // Encoding a stealth image: sealed by its nature and keyed by a password
    // only, so the seal box shows ticked and fixed and questions are off.
    bool Stealth = false;
    // After OK: the digests of the password or of the Quizlock key text.
    Sha1Bytes PasswordDigest = {};
    Md5Bytes PasswordMd5 = {};
    // Lent to the key material for the length of one run.
    QuestionSet Questions;
    // After OK with a typed password: the password's bytes, which seal an
    // image and open a sealed one, and whether "Seal with strong
    // encryption" was ticked (encoding only). Empty and false for the
    // Quizlock answers, which are never sealed.
    SecretBytes Password;
    bool Seal = false;

protected:
    void OnInitDialog() override;
    void OnOk() override;

private:
    QString PasswordRefusal(std::string_view password, std::string_view confirmation) const;
    void RunQuestions();
    void ShowCost(int speed);
    bool RunQuestionDialog();
    // Digests of the key text, the speed chosen, and the end with OK.
    void Finish(std::string_view keyText);

    UiPrompts& Prompts;
};

} // namespace lumaquill
