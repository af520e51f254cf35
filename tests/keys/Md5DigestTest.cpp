#include "keys/Md5Digest.h"

#include "core/ByteOrder.h"
#include "keys/DigestHex.h"
#include "keys/Sha1Context.h"

#include <gtest/gtest.h>
#include <string>

namespace lumaquill {
namespace {

struct KnownAnswer {
    std::string Message;
    const char* Md5;
};

const std::string kDigits200 = [] {
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "0123456789";
    return text;
}();

// The RFC 1321 test suite (appendix A.5), then lengths around the padding
// and block boundaries (values from an independent MD5).
const KnownAnswer kKnownAnswers[] = {
    { "", "D41D8CD98F00B204E9800998ECF8427E" },
    { "a", "0CC175B9C0F1B6A831C399E269772661" },
    { "abc", "900150983CD24FB0D6963F7D28E17F72" },
    { "message digest", "F96B697D7CB7938D525A2F31AAF161D0" },
    { "abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B" },
    { "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "D174AB98D277D9F5A5611C2C9F419D9F" },
    { "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
        "57EDF4A22BE3C955AC49DA2E2107B67A" },
    { kDigits200.substr(0, 55), "6E7A4FC92EB1C3F6E652425BCC8D44B5" },
    { kDigits200.substr(0, 56), "8AF270B2847610E742B0791B53648C09" },
    { kDigits200.substr(0, 57), "C620BACE4CDE41BC45A14CFA62EE3487" },
    { kDigits200.substr(0, 63), "C5E256437E758092DBFE06283E489019" },
    { kDigits200.substr(0, 64), "7F7BFD348709DEEAACE19E3F535F8C54" },
    { kDigits200.substr(0, 65), "BEB9F48BC802CA5CA043BCC15E219A5A" },
    { kDigits200.substr(0, 119), "42EEC8502CB0ED8F0D05AA5A24463B6A" },
    { kDigits200.substr(0, 120), "71877A6051C58E0E9246BABC177CA5F2" },
    { kDigits200.substr(0, 128), "1F7D0DAD0E987E87A084268B8AAAF77B" },
};

TEST(Md5DigestTest, KnownAnswers)
{
    for (const KnownAnswer& known : kKnownAnswers) {
        SCOPED_TRACE(known.Message.size());
        EXPECT_EQ(DigestHex(Md5Digest(known.Message)), known.Md5);
    }
}

TEST(Md5DigestTest, PointerAndTextFormsAgree)
{
    const std::string message = kDigits200.substr(0, 20);
    EXPECT_EQ(Md5Digest(reinterpret_cast<const uint8_t*>(message.data()), message.size()), Md5Digest(message));
}

TEST(Md5DigestTest, EveryCallStartsFresh)
{
    const Md5Bytes first = Md5Digest("abc");
    Md5Digest(kDigits200);
    EXPECT_EQ(Md5Digest("abc"), first);
}

TEST(Md5DigestTest, WordsOfADigestGiveTheSameMd5)
{
    for (const char* text : { "", "abc", "message digest" }) {
        SCOPED_TRACE(text);
        const Sha1Bytes sha1 = Sha1(text);
        uint32_t sha1Words[5];
        for (int i = 0; i < 5; ++i)
            sha1Words[i] = Load32Be(sha1.data() + 4 * i);
        const std::array<uint32_t, 4> md5Words = Md5OfSha1Words(sha1Words);
        Md5Bytes fromWords;
        for (int i = 0; i < 4; ++i)
            Store32Be(fromWords.data() + 4 * i, md5Words[i]);
        EXPECT_EQ(fromWords, Md5Digest(sha1.data(), sha1.size()));
    }
}

} // namespace
} // namespace lumaquill
