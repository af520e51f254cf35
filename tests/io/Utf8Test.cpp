#include "io/Utf8.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

// The characters a name or a terminal must not show as they are: the
// general categories Cf, Zl and Zp, the Hangul fillers and the Tags block;
// their neighbours and the visible blanks stay.
TEST(InvisibleCodePoint, FollowsTheGeneralCategories)
{
    struct Case {
        uint32_t CodePoint;
        bool Invisible;
    };
    const Case cases[] = {
        { 0x00AD, true },
        { 0x00AC, false },
        { 0x00AE, false }, // soft hyphen
        { 0x061C, true },
        { 0x061B, false },
        { 0x061D, false }, // Arabic letter mark
        { 0x180E, true },
        { 0x180D, false }, // Mongolian vowel separator
        { 0x200B, true },
        { 0x200F, true },
        { 0x2010, false }, // zero width, marks
        { 0x2028, true },
        { 0x2029, true },
        { 0x202A, true },
        { 0x202E, true },
        { 0x202F, false },
        { 0x2060, true },
        { 0x2064, true },
        { 0x2066, true },
        { 0x2069, true },
        { 0x205F, false },
        { 0xFEFF, true },
        { 0xFEFE, false }, // byte order mark
        { 0xFFF9, true },
        { 0xFFFB, true },
        { 0xFFFC, false }, // interlinear annotation
        { 0x115F, true },
        { 0x1160, true },
        { 0x3164, true },
        { 0xFFA0, true },
        { 0x3163, false }, // fillers
        { 0xE0000, true },
        { 0xE0001, true },
        { 0xE0041, true },
        { 0xE007F, true },
        { 0xE0080, false }, // tags
        { 0x0020, false },
        { 0x00A0, false },
        { 0x2800, false },
        { 0x0041, false },
        { 0x10FFFF, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsInvisibleCodePoint(c.CodePoint), c.Invisible) << std::hex << "U+" << c.CodePoint;
}

TEST(Utf8, ValidatesStrictly)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF")); // U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF")); // overlong
    EXPECT_FALSE(IsValidUtf8("\xC3")); // cut short
    EXPECT_FALSE(IsValidUtf8("\x80")); // lone continuation
}

TEST(Windows1252, MapsEveryByte)
{
    EXPECT_EQ(Windows1252ToUtf8("\x80\x9F\xA0\xFF"), "\xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xBF");
    EXPECT_EQ(Windows1252ToUtf8("plain"), "plain");
}

} // namespace
} // namespace lumaquill
