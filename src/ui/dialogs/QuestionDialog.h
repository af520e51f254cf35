#pragma once

#include "flows/KeyDigests.h"
#include "ui/template/TemplateDialog.h"

#include <cstdint>
#include <string>

namespace lumaquill {

class UiPrompts;

// Edits one Quizlock slot, or takes one answer (template 135). On OK the
// key buffer receives the AnswerKey of the answer typed.
//
// Editing a slot, OK refuses a question without an answer ("Please enter
// an answer."): its key would be the empty text, which opens the image for
// anyone. Answering, an empty answer is taken, since images written before
// may hold one.
class QuestionDialog : public TemplateDialog {
    Q_OBJECT
public:
    QuestionDialog(Sha1Bytes& keyBuffer, UiPrompts& prompts, QWidget* parent = nullptr);

    // Question and hint are given and fixed, only the answer is typed.
    bool AnswerMode = false;
    // Texts as UTF-8 bytes. In answer mode Question and Hint are shown; in
    // setup mode a non-empty Question (a slot set before) is shown with its
    // Hint, ready to be changed, and the answer must be typed again. After
    // OK all three hold what the dialog's fields hold.
    std::string Hint;
    std::string Question;
    std::string Caption;
    std::string Answer;

protected:
    void OnInitDialog() override;
    void OnOk() override;

private:
    void ShowGivenQuestion();

    Sha1Bytes& KeyBuffer;
    UiPrompts& Prompts;
};

} // namespace lumaquill
