#pragma once

#include "keys/Digests.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumaquill {

// SHA-1 of an answer's bytes exactly as typed: no normalisation of any kind.
Sha1Bytes AnswerKey(std::string_view answer);

// The five Quizlock slots. A slot is in use when its question is not empty.
// Texts are bytes (UTF-8 from the user interface).
class QuestionSet {
public:
    // The question header stores at most this many questions.
    static constexpr int kSlots = 5;

    std::array<std::string, kSlots> Questions;
    std::array<std::string, kSlots> Hints;
    std::array<std::string, kSlots> Answers;
    std::array<bool, kSlots> UsedFlags = {};
    std::array<Sha1Bytes, kSlots> AnswerKeys = {};
    std::string KeyText;

    // Encode side, one question dialog confirmed for slot k.
    void SetSlot(int k, const std::string& question, const std::string& hint, const std::string& answer);
    // Before the setup dialog opens: every used flag and answer key zero.
    void ClearFlagsAndKeys();
    // Moves the used slots to the front, keeping their order.
    void Compact();
    // KeyText = the answers of the used slots joined in slot order, no
    // separator. An answer in a slot without a question is dropped, so the
    // encoding and decoding sides always agree.
    void BuildKeyText();
    // Number of leading used slots: what the question header stores.
    int32_t LeadingUsed() const;
};

} // namespace lumaquill
