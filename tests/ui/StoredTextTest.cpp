#include "ui/dialogs/StoredText.h"

#include <gtest/gtest.h>
#include <string>

namespace lumaquill {
namespace {

struct RoundTripCase {
    const char* Name;
    QString Text;
    std::string Bytes;
};

// Typed texts are stored as their UTF-8 bytes and read back unchanged.
TEST(StoredTextTest, TypedTextsRoundTripThroughTheirUtf8Bytes)
{
    const RoundTripCase cases[] = {
        { "empty", QString(), std::string() },
        { "ascii with CR LF", QStringLiteral("line one\r\nline two"), "line one\r\nline two" },
        { "two-byte", QStringLiteral("caf\u00E9"), "caf\xC3\xA9" },
        { "three-byte", QStringLiteral("\u20AC5"),
            "\xE2\x82\xAC"
            "5" },
        { "four-byte", QString::fromUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80" },
        { "zero byte inside", QString(QChar(u'a')) + QChar(u'\0') + QChar(u'b'), std::string("a\0b", 3) },
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ToStoredText(c.Text), c.Bytes);
        EXPECT_EQ(FromStoredText(c.Bytes), c.Text);
    }
}

struct FallbackCase {
    const char* Name;
    std::string Bytes;
    QString Shown;
};

// Bytes that are not UTF-8 (images from older builds) are read as
// Windows-1252: nothing becomes a replacement character.
TEST(StoredTextTest, BytesThatAreNotUtf8AreShownAsWindows1252)
{
    const FallbackCase cases[] = {
        { "e acute alone", "caf\xE9", QStringLiteral("caf\u00E9") },
        { "euro and quotes", "\x80 \x93x\x94", QStringLiteral("\u20AC \u201Cx\u201D") },
        { "undefined byte keeps its C1 value", "\x81", QString(QChar(0x81)) },
        { "overlong slash", "\xC0\xAF", QStringLiteral("\u00C0\u00AF") },
        { "cut sequence", "ok\xE2\x82", QStringLiteral("ok\u00E2\u201A") },
        { "surrogate", "\xED\xA0\x80", QStringLiteral("\u00ED\u00A0\u20AC") },
    };
    for (const FallbackCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FromStoredText(c.Bytes), c.Shown);
        EXPECT_FALSE(FromStoredText(c.Bytes).contains(QChar::ReplacementCharacter));
    }
}

} // namespace
} // namespace lumaquill
