#include "keys/KeyMaterial.h"

#include "core/ByteOrder.h"
#include "keys/DigestHex.h"
#include "keys/Md5Digest.h"
#include "keys/QuestionSet.h"
#include "keys/RuntimeRandom.h"
#include "keys/Sha1Compress.h"
#include "keys/Sha1Context.h"
#include "support/RecordingProgress.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumaquill {
namespace {

using test::RecordingProgress;

KeyMaterial ZeroDigests()
{
    KeyMaterial key;
    key.PasswordDigest.fill(0);
    key.PasswordMd5.fill(0);
    return key;
}

KeyMaterial FromPassword(const std::string& password)
{
    KeyMaterial key;
    key.PasswordDigest = Sha1(password);
    key.PasswordMd5 = Md5Digest(password);
    return key;
}

TEST(KeyMaterialTest, VeryFastChainFromZeroDigests)
{
    KeyMaterial key = ZeroDigests();
    key.Mangle(0, nullptr);
    EXPECT_EQ(DigestHex(key.PasswordDigest), "728BE92F69774C48E407F83F6B6A7FAE5A0AD0A6");
    EXPECT_EQ(DigestHex(key.PasswordMd5), "5F1866BA56578A9E7F63A59852C9741E");
}

TEST(KeyMaterialTest, SpeedsWithoutPassesHashOnce)
{
    for (int32_t speed : { 5, 6, 7, -1 }) {
        SCOPED_TRACE(speed);
        KeyMaterial key = ZeroDigests();
        key.Mangle(speed, nullptr);
        EXPECT_EQ(DigestHex(key.PasswordDigest), "8696CF0F4655636CC93C566C1BE2DAD311DA646C");
        EXPECT_EQ(key.PasswordMd5, Md5Bytes {});
    }
}

// Values from an independent Python model of the chain (the reference model
// in tools/reference); the second covers a hundred chunks of passes.
TEST(KeyMaterialTest, ChainsFromAPassword)
{
    struct Case {
        int32_t Speed;
        const char* Digest;
        const char* Md5;
    };
    const Case cases[] = {
        { 0, "28D182D3C823E975D9F73037973E77F13BBD0D40", "57023840446D09530BE34747B897BF22" },
        { 1, "602FD34B7DBF3A0E63CA7BEB7304D7CB896816A6", "A99C12A637A4EBDD1127BBB7543D6B52" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Speed);
        KeyMaterial key = FromPassword("correct horse");
        key.Mangle(c.Speed, nullptr);
        EXPECT_EQ(DigestHex(key.PasswordDigest), c.Digest);
        EXPECT_EQ(DigestHex(key.PasswordMd5), c.Md5);
    }
}

TEST(KeyMaterialTest, BothCompressionsGiveTheSameChain)
{
    const Sha1CompressFunction accelerated = Sha1CompressAccelerated();
    if (accelerated == nullptr)
        GTEST_SKIP() << "this processor has no SHA extensions";
    ForceSha1Compress(Sha1CompressPortable);
    KeyMaterial portable = FromPassword("correct horse");
    portable.Mangle(0, nullptr);
    ForceSha1Compress(accelerated);
    KeyMaterial fast = FromPassword("correct horse");
    fast.Mangle(0, nullptr);
    ForceSha1Compress(nullptr);
    EXPECT_EQ(portable.PasswordDigest, fast.PasswordDigest);
    EXPECT_EQ(portable.PasswordMd5, fast.PasswordMd5);
}

TEST(KeyMaterialTest, VeryFastReportsOnce)
{
    KeyMaterial key = ZeroDigests();
    std::vector<std::string> calls;
    RecordingProgress progress(calls);
    key.Mangle(0, &progress);
    const std::vector<std::string> expected = {
        "SetText Mangling Password",
        "SetRange 2",
        "SetStep 1",
        "SetPos 0",
        "SetText Mangling Password. (0 of 1000 passes)",
        "StepIt",
    };
    EXPECT_EQ(calls, expected);
}

TEST(KeyMaterialTest, FastReportsEveryThousandPasses)
{
    KeyMaterial key = ZeroDigests();
    std::vector<std::string> calls;
    RecordingProgress progress(calls);
    key.Mangle(1, &progress);
    ASSERT_EQ(calls.size(), 4u + 2u * 100u);
    EXPECT_EQ(calls[1], "SetRange 101");
    EXPECT_EQ(calls[6], "SetText Mangling Password. (1000 of 100000 passes)");
    EXPECT_EQ(calls[202], "SetText Mangling Password. (99000 of 100000 passes)");
}

// Asked to stop from the first step, the slowest setting (ten million
// passes) reports that one step and ends without publishing seeds.
TEST(KeyMaterialTest, ACancelStopsTheChainAtTheStepThatSeesIt)
{
    class CancellingProgress : public RecordingProgress {
    public:
        using RecordingProgress::RecordingProgress;
        bool CancelRequested() const override { return true; }
    };
    KeyMaterial key = ZeroDigests();
    std::vector<std::string> calls;
    CancellingProgress progress(calls);
    EXPECT_FALSE(key.Mangle(4, &progress));
    const std::vector<std::string> expected = {
        "SetText Mangling Password",
        "SetRange 10001",
        "SetStep 1",
        "SetPos 0",
        "SetText Mangling Password. (0 of 10000000 passes)",
        "StepIt",
    };
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(key.PositionSeed, KeyMaterial().PositionSeed);
}

TEST(KeyMaterialTest, NoPassesStillSetsUpTheBar)
{
    KeyMaterial key = ZeroDigests();
    std::vector<std::string> calls;
    RecordingProgress progress(calls);
    key.Mangle(7, &progress);
    const std::vector<std::string> expected = { "SetText Mangling Password", "SetRange 1", "SetStep 1", "SetPos 0" };
    EXPECT_EQ(calls, expected);
}

TEST(KeyMaterialTest, MangleEndsByPublishingSeeds)
{
    KeyMaterial key = FromPassword("secret");
    key.Mangle(0, nullptr);
    const std::string digest = DigestHex(key.PasswordDigest);
    const std::string md5 = DigestHex(key.PasswordMd5);
    EXPECT_EQ(DigestHex(key.PositionSeed), digest + md5);
    EXPECT_EQ(DigestHex(key.WhiteningSeed), md5 + digest);
}

TEST(KeyMaterialTest, DeriveMarkerFromTheDigest)
{
    KeyMaterial key = FromPassword("secret");
    key.DeriveMarker();
    EXPECT_EQ(key.LevelByte, key.PasswordDigest[9]);
    EXPECT_EQ(key.CheckByte, key.PasswordDigest[10]);
    RuntimeSrand(Load32Le(key.PasswordDigest.data() + 4));
    for (size_t i = 0; i < KeyMaterial::kMarkerBytes; ++i)
        EXPECT_EQ(key.Marker[i], RuntimeRand() % 255) << "byte " << i;
}

TEST(KeyMaterialTest, MarkerDrawsTwentyValues)
{
    KeyMaterial key = FromPassword("secret");
    key.DeriveMarker();
    const uint32_t after = RuntimeRandState();
    RuntimeSrand(Load32Le(key.PasswordDigest.data() + 4));
    for (int i = 0; i < 20; ++i)
        RuntimeRand();
    EXPECT_EQ(RuntimeRandState(), after);
}

TEST(KeyMaterialTest, MarkerNeverHolds255)
{
    for (int n = 0; n < 200; ++n) {
        KeyMaterial key = FromPassword(std::to_string(n));
        key.DeriveMarker();
        for (uint8_t byte : key.Marker)
            ASSERT_NE(byte, 255) << "password " << n;
    }
}

TEST(KeyMaterialTest, ResetRestoresDefaultsAndKeepsDigests)
{
    KeyMaterial key = FromPassword("secret");
    const Sha1Bytes digest = key.PasswordDigest;
    const Md5Bytes md5 = key.PasswordMd5;
    QuestionSet questions;
    key.DeriveMarker();
    key.PublishSeeds();
    key.QuizlockPresent = true;
    key.ModeFixed = true;
    key.Speed = 4;
    key.Mode = 3;
    key.BorrowQuestions(questions);

    key.Reset();
    EXPECT_EQ(key.Marker, (std::array<uint8_t, 20> {}));
    EXPECT_FALSE(key.QuizlockPresent);
    EXPECT_FALSE(key.ModeFixed);
    EXPECT_EQ(key.PositionSeed, (std::array<uint8_t, 36> {}));
    EXPECT_EQ(key.WhiteningSeed, (std::array<uint8_t, 36> {}));
    EXPECT_EQ(key.Speed, 2);
    EXPECT_EQ(key.Mode, 0);
    EXPECT_EQ(key.LevelByte, 128);
    EXPECT_EQ(key.CheckByte, 128);
    EXPECT_EQ(key.Questions, nullptr);
    EXPECT_EQ(key.Hints, nullptr);
    EXPECT_EQ(key.UsedFlags, nullptr);
    EXPECT_EQ(key.AnswerKeys, nullptr);
    EXPECT_EQ(key.PasswordDigest, digest);
    EXPECT_EQ(key.PasswordMd5, md5);
}

TEST(KeyMaterialTest, BorrowedQuestionsAreTheSetsOwn)
{
    QuestionSet questions;
    KeyMaterial key;
    key.BorrowQuestions(questions);
    EXPECT_EQ(key.Questions, &questions.Questions);
    EXPECT_EQ(key.Hints, &questions.Hints);
    EXPECT_EQ(key.UsedFlags, &questions.UsedFlags);
    EXPECT_EQ(key.AnswerKeys, &questions.AnswerKeys);
    key.ClearQuestions();
    EXPECT_EQ(key.Questions, nullptr);
    EXPECT_EQ(key.AnswerKeys, nullptr);
}

} // namespace
} // namespace lumaquill
