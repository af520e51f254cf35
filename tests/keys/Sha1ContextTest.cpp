#include "keys/Sha1Context.h"

#include "keys/DigestHex.h"
#include "keys/Sha1Compress.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumaquill {
namespace {

struct Implementation {
    const char* Name;
    Sha1CompressFunction (*Get)();
};

Sha1CompressFunction Portable()
{
    return Sha1CompressPortable;
}

const Implementation kImplementations[] = {
    { "Portable", Portable },
    { "ShaExtensions", Sha1CompressAccelerated },
};

// Every test runs once per compression implementation, forced for its
// duration; the accelerated run is skipped where the processor lacks it.
class Sha1ContextTest : public testing::TestWithParam<Implementation> {
protected:
    void SetUp() override
    {
        const Sha1CompressFunction function = GetParam().Get();
        if (function == nullptr)
            GTEST_SKIP() << "this processor has no SHA extensions";
        ForceSha1Compress(function);
    }
    void TearDown() override { ForceSha1Compress(nullptr); }
};

std::string Digest(Sha1Context& context)
{
    uint8_t out[20];
    context.Final(out);
    return DigestHex(out, sizeof out);
}

void Feed(Sha1Context& context, const std::string& text)
{
    context.Update(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

struct KnownAnswer {
    std::string Message;
    const char* Sha1;
};

const std::string kDigits200 = [] {
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "0123456789";
    return text;
}();

// FIPS 180-1 appendices A and B, the empty message, and lengths around the
// block and padding boundaries (values from an independent SHA-1).
const KnownAnswer kKnownAnswers[] = {
    { "", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709" },
    { "abc", "A9993E364706816ABA3E25717850C26C9CD0D89D" },
    { "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983E441C3BD26EBAAE4AA1F95129E5E54670F1" },
    { kDigits200.substr(0, 55), "9F3A4CE7F66B1B74C34DA2C5D732C39F81E0F8DF" },
    { kDigits200.substr(0, 57), "46CC79601F8C6B81A4180774CE08465987A225A7" },
    { kDigits200.substr(0, 63), "984B0F2F6D78C24020F5A79D409F67AB99302891" },
    { kDigits200.substr(0, 64), "CF0800F7644ACE3CB4C3FA33388D3BA0EA3C8B6E" },
    { kDigits200.substr(0, 65), "92DE3A8444FE6D15268F0BA810AA43BC8B3A4FFE" },
    { kDigits200.substr(0, 119), "D1BA16C5F745875597B6D0B9061F30B5A5C89092" },
    { kDigits200.substr(0, 128), "B5D36071C0845DF9E0727B58EC97D2796F3312D0" },
};

TEST_P(Sha1ContextTest, KnownAnswers)
{
    for (const KnownAnswer& known : kKnownAnswers) {
        SCOPED_TRACE(known.Message.size());
        EXPECT_EQ(DigestHex(Sha1(known.Message)), known.Sha1);
    }
}

TEST_P(Sha1ContextTest, OneMillionA)
{
    // FIPS 180-1 appendix C, fed in pieces that straddle block boundaries.
    const std::string piece(1000, 'a');
    Sha1Context context;
    context.Init();
    for (int i = 0; i < 1000; ++i)
        Feed(context, piece);
    EXPECT_EQ(Digest(context), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST_P(Sha1ContextTest, IncrementalEqualsOneShotAtEverySplit)
{
    const std::string message = kDigits200.substr(0, 130);
    const std::string expected = DigestHex(Sha1(message));
    for (size_t split = 0; split <= message.size(); ++split) {
        for (size_t second = split; second <= message.size(); second += 17) {
            Sha1Context context;
            context.Init();
            Feed(context, message.substr(0, split));
            Feed(context, message.substr(split, second - split));
            Feed(context, message.substr(second));
            EXPECT_EQ(Digest(context), expected) << "split at " << split << " and " << second;
        }
    }
}

TEST_P(Sha1ContextTest, SecondFinalContinuesTheChain)
{
    Sha1Context context;
    context.Init();
    Feed(context, "abc");
    EXPECT_EQ(Digest(context), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(Digest(context), "745485E8CF69F7762F2A0DD7E7C6CB12E33EFFBC");
}

TEST_P(Sha1ContextTest, UpdateAfterFinalKeepsCountAndReversedBuffer)
{
    const uint8_t zeros[36] = {};
    Sha1Context context;
    context.Init();
    context.Update(zeros, sizeof zeros);
    EXPECT_EQ(Digest(context), "8696CF0F4655636CC93C566C1BE2DAD311DA646C");
    context.Update(zeros, sizeof zeros);
    EXPECT_EQ(Digest(context), "FF68195D36E139A8B1A167900DB2D3AFB1CE0F5E");
}

TEST_P(Sha1ContextTest, ChainWithUnalignedLengths)
{
    // Values from an independent model of the chained context written from
    // the format description: stale reversed bytes share groups with new
    // ones when lengths are not multiples of four.
    struct Link {
        size_t Length;
        const char* Sha1;
    };
    const Link links[] = {
        { 3, "0E0ED6431393D6284B7E238B259DD397D837E0D9" },
        { 5, "99B13D8747436EBD4EE6F97842F7A9FF627C8C31" },
        { 70, "67FCC838A8B51E4F2DFB823E23C215951B99172E" },
        { 1, "61B061D4229E5B6BD560BCB7DE44DCD049C6EB1D" },
        { 0, "A4B789302879EB2C8471ECCBEBB2FC440EAF87DF" },
        { 61, "5E4162A327B549A496274800CF76D3392EE504E7" },
        { 2, "CC42E00D9DC11F2AFEE2A706265906D94664CDC4" },
        { 127, "865F7CB4CC54418E7D7EB194D1BA55B3CA4E1ABB" },
    };
    Sha1Context context;
    context.Init();
    for (const Link& link : links) {
        std::vector<uint8_t> data(link.Length);
        for (size_t i = 0; i < link.Length; ++i)
            data[i] = static_cast<uint8_t>(link.Length * 7 + i);
        context.Update(data.data(), data.size());
        EXPECT_EQ(Digest(context), link.Sha1) << "after " << link.Length << " bytes";
    }
}

TEST_P(Sha1ContextTest, FinalWordsAreTheDigestsBigEndianWords)
{
    Sha1Context context;
    context.Init();
    Feed(context, "abc");
    uint32_t words[5];
    context.FinalWords(words);
    EXPECT_EQ(words[0], 0xA9993E36u);
    EXPECT_EQ(words[4], 0x9CD0D89Du);
    context.FinalWords(words);
    EXPECT_EQ(words[0], 0x745485E8u);
    EXPECT_EQ(words[4], 0xE33EFFBCu);
}

TEST_P(Sha1ContextTest, InitKeepsTheBuffer)
{
    // A fresh digest after Init must not depend on what the buffer held:
    // every byte that reaches a compression has been written since.
    Sha1Context context;
    context.Init();
    Feed(context, kDigits200);
    Digest(context);
    context.Init();
    Feed(context, "abc");
    EXPECT_EQ(Digest(context), "A9993E364706816ABA3E25717850C26C9CD0D89D");
}

TEST_P(Sha1ContextTest, GroupsEqualBytesAtEveryAlignedPosition)
{
    // Words appended through UpdateGroups must act exactly as their bytes
    // through Update, across Final and at every group of the buffer.
    Sha1Context bytes;
    Sha1Context groups;
    bytes.Init();
    groups.Init();
    uint32_t words[20];
    uint8_t wordBytes[80];
    for (int pass = 0; pass < 64; ++pass) {
        const size_t count = static_cast<size_t>(pass * 5 % 21);
        for (size_t k = 0; k < count; ++k) {
            words[k] = 0x01020304u * static_cast<uint32_t>(pass + 1) + static_cast<uint32_t>(k);
            wordBytes[4 * k] = static_cast<uint8_t>(words[k] >> 24);
            wordBytes[4 * k + 1] = static_cast<uint8_t>(words[k] >> 16);
            wordBytes[4 * k + 2] = static_cast<uint8_t>(words[k] >> 8);
            wordBytes[4 * k + 3] = static_cast<uint8_t>(words[k]);
        }
        bytes.Update(wordBytes, 4 * count);
        groups.UpdateGroups(words, count);
        ASSERT_EQ(Digest(groups), Digest(bytes)) << "pass " << pass;
    }
}

INSTANTIATE_TEST_SUITE_P(Compression, Sha1ContextTest, testing::ValuesIn(kImplementations),
    [](const testing::TestParamInfo<Implementation>& info) { return std::string(info.param.Name); });

// Chains of Update and Final with lengths that visit every buffer position,
// compared between the two implementations.
std::vector<std::string> RunChain(Sha1CompressFunction function)
{
    ForceSha1Compress(function);
    std::vector<std::string> digests;
    Sha1Context context;
    context.Init();
    std::string data;
    for (int i = 0; i < 300; ++i) {
        data.assign(static_cast<size_t>(i * 7 % 150), static_cast<char>(i));
        Feed(context, data);
        digests.push_back(Digest(context));
    }
    ForceSha1Compress(nullptr);
    return digests;
}

TEST(Sha1CompressTest, ImplementationsAgreeOnChains)
{
    const Sha1CompressFunction accelerated = Sha1CompressAccelerated();
    if (accelerated == nullptr)
        GTEST_SKIP() << "this processor has no SHA extensions";
    EXPECT_EQ(RunChain(accelerated), RunChain(Sha1CompressPortable));
}

TEST(Sha1CompressTest, ImplementationsAgreeOnArbitraryStates)
{
    const Sha1CompressFunction accelerated = Sha1CompressAccelerated();
    if (accelerated == nullptr)
        GTEST_SKIP() << "this processor has no SHA extensions";
    uint32_t x = 12345;
    auto next = [&x] { return x = x * 1664525u + 1013904223u; };
    for (int round = 0; round < 100; ++round) {
        uint32_t words[16];
        uint32_t state[5];
        for (uint32_t& word : words)
            word = next();
        for (uint32_t& word : state)
            word = next();
        uint32_t other[5];
        std::memcpy(other, state, sizeof state);
        Sha1CompressPortable(state, words);
        accelerated(other, words);
        EXPECT_EQ(std::memcmp(state, other, sizeof state), 0) << "round " << round;
    }
}

TEST(Sha1CompressTest, ForcedChoiceIsRestored)
{
    ForceSha1Compress(Sha1CompressPortable);
    EXPECT_EQ(ActiveSha1Compress(), Sha1CompressPortable);
    ForceSha1Compress(nullptr);
    const Sha1CompressFunction accelerated = Sha1CompressAccelerated();
    EXPECT_EQ(ActiveSha1Compress(), accelerated != nullptr ? accelerated : Sha1CompressPortable);
}

} // namespace
} // namespace lumaquill
