#pragma once

#include "flows/KeyEntry.h"
#include "ui/template/TemplateDialog.h"

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

    // Set by the caller before the dialog runs.
    bool DecodeMode = false;
    int32_t QuestionsStored = 0;
    // Encoding a stealth image: sealed by its nature and keyed by a password
    // only, so the seal box shows ticked and fixed and questions are off.
    bool Stealth = false;
    // Decoding: the questions read from the image, to be answered.
    void SetStoredQuestions(const QuestionSet& stored);

    // After OK: the key in one value. The digests of the password or of
    // the Quizlock key text; the questions set up or answered; the typed
    // password's bytes, which seal an image and open a sealed one, and
    // whether "Seal with strong encryption" was ticked (encoding only),
    // empty and false for the Quizlock answers, which are never sealed; the
    // selected speed list entry (the SpeedSetting; -1 when none is
    // selected).
    const KeyEntry& Key() const { return Entry; }

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
    KeyEntry Entry;
};

} // namespace lumaquill
