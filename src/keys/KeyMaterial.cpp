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

void JoinDigests(SeedBytes& block, const Sha1Bytes& digest, const Md5Bytes& md5, bool md5First)
{
    const size_t digestAt = md5First ? md5.size() : 0;
    const size_t md5At = md5First ? 0 : digest.size();
    std::memcpy(block.data() + digestAt, digest.data(), digest.size());
    std::memcpy(block.data() + md5At, md5.data(), md5.size());
}

// The chain's working block B as the nine big-endian words of its bytes,
// the form the SHA-1 buffer holds them in: the chain never needs B's bytes.
constexpr size_t kBlockWords = KeyMaterial::kSeedBytes / 4;
using BlockWords = std::array<uint32_t, kBlockWords>;

void JoinAsWords(BlockWords& block, const Sha1Bytes& digest, const Md5Bytes& md5, bool md5First)
{
    const size_t digestAt = md5First ? md5.size() / 4 : 0;
    const size_t md5At = md5First ? 0 : digest.size() / 4;
    for (size_t i = 0; i < digest.size() / 4; ++i)
        block[digestAt + i] = Load32Be(digest.data() + 4 * i);
    for (size_t i = 0; i < md5.size() / 4; ++i)
        block[md5At + i] = Load32Be(md5.data() + 4 * i);
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
    QuizlockPresent = 0;
    ModeFixed = 0;
    PositionSeed.fill(0);
    WhiteningSeed.fill(0);
    Speed = kDefaultSpeed;
    Mode = 0;
    LevelByte = kDefaultLevelByte;
    CheckByte = kDefaultCheckByte;
    ClearQuestions();
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

void KeyMaterial::Mangle(int32_t speed, ProgressSink* progress)
{
    // One context for the whole chain: every pass continues the previous
    // one's count and buffer.
    Sha1Context context;
    context.Init();
    MersenneGen order;
    order.Seed(Load32Le(PasswordDigest.data()));
    const uint32_t passes = PassesForSpeed(speed);
    BlockWords block;
    JoinAsWords(block, PasswordDigest, PasswordMd5, false);

    if (progress != nullptr) {
        progress->SetText("Mangling Password");
        progress->SetRange(passes / kPassesPerReport + 1);
        progress->SetStep(1);
        progress->SetPos(0);
    }
    for (uint32_t first = 0; first < passes; first += kPassesPerReport) {
        if (progress != nullptr)
            ReportPass(*progress, first, passes);
        const uint32_t count = std::min(kPassesPerReport, passes - first);
        for (uint32_t k = 0; k < count; ++k) {
            context.UpdateGroups(block.data(), block.size());
            context.Final(PasswordDigest.data());
            PasswordMd5 = Md5Digest(PasswordDigest.data(), PasswordDigest.size());
            JoinAsWords(block, PasswordDigest, PasswordMd5, order.Range(0, 1) == 1);
        }
    }
    context.UpdateGroups(block.data(), block.size());
    context.Final(PasswordDigest.data());
    PublishSeeds();
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
