#include "keys/QuestionSet.h"

#include "keys/Sha1Context.h"

#include <cassert>

namespace lumaquill {

Sha1Bytes AnswerKey(std::string_view answer)
{
    return Sha1(answer);
}

void QuestionSet::SetSlot(int k, const std::string& question, const std::string& hint, const std::string& answer)
{
    assert(k >= 0 && k < kSlots);
    Questions[k] = question;
    Hints[k] = hint;
    Answers[k] = answer;
    UsedFlags[k] = !question.empty();
    AnswerKeys[k] = AnswerKey(answer);
}

void QuestionSet::ClearFlagsAndKeys()
{
    UsedFlags.fill(0);
    AnswerKeys.fill(Sha1Bytes {});
}

void QuestionSet::Compact()
{
    for (int i = 0; i < kSlots - 1; ++i) {
        if (UsedFlags[i])
            continue;
        int k = i + 1;
        while (k < kSlots && !UsedFlags[k])
            ++k;
        if (k == kSlots)
            return;
        Questions[i] = std::move(Questions[k]);
        Hints[i] = std::move(Hints[k]);
        Answers[i] = std::move(Answers[k]);
        AnswerKeys[i] = AnswerKeys[k];
        UsedFlags[i] = true;
        Questions[k].clear();
        Hints[k].clear();
        Answers[k].clear();
        AnswerKeys[k] = Sha1Bytes {};
        UsedFlags[k] = false;
    }
}

void QuestionSet::BuildKeyText()
{
    KeyText.clear();
    for (int i = 0; i < kSlots; ++i) {
        if (!Questions[i].empty())
            KeyText += Answers[i];
    }
}

int32_t QuestionSet::LeadingUsed() const
{
    int32_t count = 0;
    while (count < kSlots && UsedFlags[count])
        ++count;
    return count;
}

} // namespace lumaquill
