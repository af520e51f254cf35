#pragma once

#include "flows/KeyDigests.h"
#include "keys/QuestionSet.h"
#include "seal/SecretBytes.h"

#include <cstdint>

namespace lumaquill {

// The key as the password step gives it, in one value: what the password
// dialog returns and what lumaquill-cli gathers from its key options.
struct KeyEntry {
    // The most questions an image stores.
    static constexpr int kQuestionSlots = QuestionSet::kSlots;

    // The digests of the typed password, or of the Quizlock key text.
    KeyDigests Digests;
    // The questions set up (encoding) or answered (decoding); no used slot
    // for a typed password.
    QuestionSet Questions;
    // The password as typed, which seals an image and opens a sealed or
    // stealth one; empty for Quizlock answers, which are never sealed.
    SecretBytes Password;
    // "Seal with strong encryption" (encoding only).
    bool Seal = false;
    // The SpeedSetting chosen (encoding only).
    int32_t Speed = 0;

    // The question dialogs move used slots to the front, so the first flag
    // says whether any question is set.
    bool HasQuestions() const { return Questions.UsedFlags[0]; }
};

} // namespace lumaquill
