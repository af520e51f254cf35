#include "keys/KeyMaterial.h"

#include "core/ByteOrder.h"
#include "core/ProgressSink.h"
#include "keys/Md5Digest.h"
#include "keys/MersenneGen.h"
#include "keys/QuestionSet.h"
#include "keys/RuntimeRandom.h"
#include "keys/Sha1Context.h"
#include "keys/SpeedSetting.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace lumaquill {

namespace {

// The progress caption and bar change once per this many passes.
constexpr uint32_t kPassesPerReport = 1000;
// Marker bytes are runtime draws modulo this, so never 255.
constexpr int32_t kMarkerModulus = 255;
constexpr size_t kLevelByteIndex = 9;
constexpr size_t kCheckByteIndex = 10;
constexpr size_t kMarkerSeedIndex = 4;

using SeedBytes = std::array<uint8_t, KeyMaterial::kSeedBytes>;

void JoinDigests(SeedBytes& seed, const Sha1Bytes& digest, const Md5Bytes& md5, bool md5First)
{
    const size_t digestAt = md5First ? md5.size() : 0;
    const size_t md5At = md5First ? 0 : digest.size();
    std::memcpy(seed.data() + digestAt, digest.data(), digest.size());
    std::memcpy(seed.data() + md5At, md5.data(), md5.size());
}

// The chain works on words: the digests as the big-endian words of their
// bytes, and the block B as its nine big-endian words, the form the SHA-1
// buffer holds them in. The chain never needs their bytes.
using Sha1Words = std::array<uint32_t, 5>;
using Md5Words = std::array<uint32_t, 4>;
using BlockWords = std::array<uint32_t, KeyMaterial::kSeedBytes / 4>;

template <size_t Bytes> std::array<uint32_t, Bytes / 4> LoadWords(const std::array<uint8_t, Bytes>& bytes)
{
    std::array<uint32_t, Bytes / 4> words;
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = Load32Be(bytes.data() + 4 * i);
    return words;
}

template <size_t Bytes> void StoreWords(std::array<uint8_t, Bytes>& bytes, const std::array<uint32_t, Bytes / 4>& words)
{
    for (size_t i = 0; i < words.size(); ++i)
        Store32Be(bytes.data() + 4 * i, words[i]);
}

void JoinWords(BlockWords& block, const Sha1Words& digest, const Md5Words& md5, bool md5First)
{
    const size_t digestAt = md5First ? md5.size() : 0;
    const size_t md5At = md5First ? 0 : digest.size();
    for (size_t i = 0; i < digest.size(); ++i)
        block[digestAt + i] = digest[i];
    for (size_t i = 0; i < md5.size(); ++i)
        block[md5At + i] = md5[i];
}

void ReportPass(ProgressSink& progress, uint32_t pass, uint32_t passes)
{
    char caption[64];
    std::snprintf(caption, sizeof caption, "Mangling Password. (%lu of %lu passes)", static_cast<unsigned long>(pass),
        static_cast<unsigned long>(passes));
    progress.SetText(caption);
    progress.StepIt();
}

} // namespace

void KeyMaterial::Reset()
{
    Marker.fill(0);
    QuizlockPresent = false;
    ModeFixed = false;
    PositionSeed.fill(0);
    WhiteningSeed.fill(0);
    Speed = kDefaultSpeed;
    Mode = 0;
    LevelByte = kDefaultLevelByte;
    CheckByte = kDefaultCheckByte;
    ClearQuestions();
    KeyText = nullptr;
    SealedKey = false;
}

void KeyMaterial::DeriveMarker()
{
    LevelByte = PasswordDigest[kLevelByteIndex];
    CheckByte = PasswordDigest[kCheckByteIndex];
    RuntimeSrand(Load32Le(PasswordDigest.data() + kMarkerSeedIndex));
    for (uint8_t& byte : Marker)
        byte = static_cast<uint8_t>(RuntimeRand() % kMarkerModulus);
}

void KeyMaterial::PublishSeeds()
{
    JoinDigests(PositionSeed, PasswordDigest, PasswordMd5, false);
    JoinDigests(WhiteningSeed, PasswordDigest, PasswordMd5, true);
}

bool KeyMaterial::Mangle(int32_t speed, ProgressSink* progress)
{
    // One context for the whole chain: every pass continues the previous
    // one's count and buffer.
    Sha1Context context;
    context.Init();
    MersenneGen order;
    order.Seed(Load32Le(PasswordDigest.data()));
    const uint32_t passes = PassesForSpeed(speed);
    Sha1Words digest = LoadWords(PasswordDigest);
    Md5Words md5 = LoadWords(PasswordMd5);
    BlockWords block;
    JoinWords(block, digest, md5, false);

    if (progress != nullptr) {
        progress->SetText("Mangling Password");
        progress->SetRange(passes / kPassesPerReport + 1);
        progress->SetStep(1);
        progress->SetPos(0);
    }
    for (uint32_t first = 0; first < passes; first += kPassesPerReport) {
        if (progress != nullptr) {
            ReportPass(*progress, first, passes);
            if (progress->CancelRequested())
                return false;
        }
        const uint32_t count = std::min(kPassesPerReport, passes - first);
        // A pass: B into the continuing context, its digest, the MD5 of that
        // digest, and one draw for which of the two leads the next B.
        for (uint32_t k = 0; k < count; ++k) {
            context.UpdateGroups(block.data(), block.size());
            context.FinalWords(digest.data());
            md5 = Md5OfSha1Words(digest.data());
            JoinWords(block, digest, md5, order.Range(0, 1) == 1);
        }
    }
    // PasswordMd5 is the MD5 of the last pass's digest (as given without
    // passes); PasswordDigest is the closing digest of the final B.
    StoreWords(PasswordMd5, md5);
    context.UpdateGroups(block.data(), block.size());
    context.Final(PasswordDigest.data());
    PublishSeeds();
    return true;
}

void KeyMaterial::BorrowQuestions(QuestionSet& set)
{
    Questions = &set.Questions;
    Hints = &set.Hints;
    UsedFlags = &set.UsedFlags;
    AnswerKeys = &set.AnswerKeys;
}

void KeyMaterial::ClearQuestions()
{
    Questions = nullptr;
    Hints = nullptr;
    UsedFlags = nullptr;
    AnswerKeys = nullptr;
}

} // namespace lumaquill
