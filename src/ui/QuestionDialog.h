#pragma once

#include "keys/Digests.h"
#include "ui/TemplateDialog.h"

#include <cstdint>
#include <string>

namespace lumaquill {

// Edits one Quizlock slot, or takes one answer (template 135). On OK the
// key buffer receives the AnswerKey of the answer typed.
class QuestionDialog : public TemplateDialog {
    Q_OBJECT
public:
    explicit QuestionDialog(Sha1Bytes& keyBuffer, QWidget* parent = nullptr);

    // 1: question and hint are given and fixed, only the answer is typed.
    bool AnswerMode = false;
    // Texts as UTF-8 bytes. In answer mode Question and Hint are shown; after
    // OK all three hold what the dialog's fields hold.
    std::string Hint;
    std::string Question;
    std::string Caption;
    std::string Answer;

protected:
    void OnInitDialog() override;
    void OnOk() override;

private:
    Sha1Bytes& KeyBuffer;
};

} // namespace lumaquill
