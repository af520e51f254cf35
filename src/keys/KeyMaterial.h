#pragma once

#include "keys/Digests.h"
#include "keys/QuestionSet.h"

#include <array>
#include <cstdint>
#include <string>

namespace lumaquill {

class ProgressSink;
class SecretBytes;

// The one record through which a password (or the Quizlock answers) reaches
// the engine. Fields keep the names and defaults the engine and dialogs use.
class KeyMaterial {
public:
    static constexpr uint32_t kMarkerBytes = 20;
    static constexpr size_t kSeedBytes = 36;
    static constexpr uint8_t kDefaultLevelByte = 128;
    static constexpr uint8_t kDefaultCheckByte = 128;
    static constexpr int32_t kDefaultSpeed = 2;

    std::array<uint8_t, kMarkerBytes> Marker = {};
    bool QuizlockPresent = false;
    bool ModeFixed = false;
    Sha1Bytes PasswordDigest = {};
    Md5Bytes PasswordMd5 = {};
    std::array<uint8_t, kSeedBytes> PositionSeed = {};
    std::array<uint8_t, kSeedBytes> WhiteningSeed = {};
    int32_t Speed = kDefaultSpeed;
    int32_t Mode = 0;
    uint8_t LevelByte = kDefaultLevelByte;
    uint8_t CheckByte = kDefaultCheckByte;

    // Borrowed from the password dialog's QuestionSet for one run; never owned.
    decltype(QuestionSet::Questions)* Questions = nullptr;
    decltype(QuestionSet::Hints)* Hints = nullptr;
    decltype(QuestionSet::UsedFlags)* UsedFlags = nullptr;
    decltype(QuestionSet::AnswerKeys)* AnswerKeys = nullptr;
    // Borrowed for one decode: the key text as typed, which opens a sealed
    // envelope. Null when only the digests are known; such a decode opens
    // no envelope. Never owned.
    const SecretBytes* KeyText = nullptr;
    // For the same decode: the digests are those of T', the sealed-image key
    // made from KeyText, so what they find is a sealed envelope or nothing.
    // Otherwise they are a key text's own, the key of a classic image.
    bool SealedKey = false;

    // Defaults before an encode; the two digests keep their values.
    void Reset();
    // LevelByte, CheckByte and Marker from the unstrengthened digest; reseeds
    // the runtime generator and draws 20 values from it.
    void DeriveMarker();
    // PositionSeed = digest || md5; WhiteningSeed = md5 || digest.
    void PublishSeeds();
    // The strengthening chain; reports to progress when it is not null, and
    // ends with PublishSeeds. False, with the digests half strengthened and
    // no seeds published, when progress asked for a cancel at one of its
    // steps (every 1000 passes).
    bool Mangle(int32_t speed, ProgressSink* progress);

    // Points the four references at the set (or clears them).
    void BorrowQuestions(QuestionSet& set);
    void ClearQuestions();
};

} // namespace lumaquill
