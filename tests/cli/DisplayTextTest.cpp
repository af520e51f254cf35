#include "cli/terminal/DisplayText.h"

#include "cli/terminal/JsonText.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

// Code points from the Windows-1252 table published by the Unicode
// Consortium (MAPPINGS/VENDORS/MICSFT/WINDOWS/CP1252.TXT).
TEST(DisplayTextTest, InvalidUtf8IsReadAsWindows1252)
{
    EXPECT_EQ(DisplayText::ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(DisplayText::ToUtf8("\x93quoted\x94"), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
    EXPECT_EQ(DisplayText::ToUtf8("\x80 \x9F \xFF"), "\xE2\x82\xAC \xC5\xB8 \xC3\xBF");
    EXPECT_EQ(DisplayText::ToUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    // An overlong form is not UTF-8, so each byte is a Windows-1252 character.
    EXPECT_EQ(DisplayText::ToUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");
}

TEST(DisplayTextTest, TerminalTextShowsControlCharactersEscaped)
{
    EXPECT_EQ(DisplayText::ForTerminal("a\x1B[2Jb\n\x7F"), "a\\x1B[2Jb\\x0A\\x7F");
    // U+009B, the one-byte control sequence introducer, as UTF-8 and as Windows-1252 would not be: 0x9B is "›" there.
    EXPECT_EQ(DisplayText::ForTerminal("\xC2\x9B"), "\\x9B");
    EXPECT_EQ(DisplayText::ForTerminal("\x9B"), "\xE2\x80\xBA");
    EXPECT_EQ(DisplayText::ForTerminal("\x81"), "\\x81");
    EXPECT_EQ(DisplayText::ForTerminal("caf\xC3\xA9 \xC2\xA0"), "caf\xC3\xA9 \xC2\xA0");
}

// A right-to-left override would show "exe.txt" as something else.
TEST(DisplayTextTest, TerminalTextShowsInvisibleFormatCharactersEscaped)
{
    EXPECT_EQ(DisplayText::ForTerminal("a\xE2\x80\xAE"
                                       "txt.exe"),
        "a\\u202Etxt.exe");
    EXPECT_EQ(DisplayText::ForTerminal("\xE2\x81\xA6x\xE2\x80\x8B"), "\\u2066x\\u200B");
    EXPECT_EQ(DisplayText::ForTerminal("\xE2\x80\x94"), "\xE2\x80\x94");
    EXPECT_EQ(DisplayText::ForTerminal("a\xC2\xAD\xD8\x9C\xEF\xBB\xBF\xE2\x80\xA8"), "a\\u00AD\\u061C\\uFEFF\\u2028");
    EXPECT_EQ(DisplayText::ForTerminal("\xF3\xA0\x81\x81x"), "\\U000E0041x");
}

// A decoded text keeps its lines and tabs; everything else that could steer
// the terminal is shown escaped: OSC 52 (set the clipboard), clearing the
// screen, a carriage return that overwrites the line, C1 controls.
TEST(DisplayTextTest, DecodedTextForTheTerminalKeepsLinesAndTabs)
{
    struct Case {
        const char* Name;
        std::string Text;
        std::string Shown;
    };
    const Case cases[] = {
        { "lines and tabs", "a\n\tb\n", "a\n\tb\n" },
        { "clipboard", "\x1B]52;c;aGk=\x07", "\\x1B]52;c;aGk=\\x07" },
        { "clear screen", "\x1B[2J", "\\x1B[2J" },
        { "carriage return", "paid\rdue", "paid\\x0Ddue" },
        { "c1 introducer",
            "\xC2\x9B"
            "2J",
            "\\x9B"
            "2J" },
        { "bidi override",
            "\xE2\x80\xAE"
            "abc",
            "\\u202Eabc" },
        { "utf-8 kept",
            "Gr\xC3\xBC\xC3\x9F"
            "e \xF0\x9F\x98\x80",
            "Gr\xC3\xBC\xC3\x9F"
            "e \xF0\x9F\x98\x80" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayText::TextForTerminal(c.Text), c.Shown) << c.Name;
}

TEST(JsonTextTest, Escapes)
{
    struct Case {
        const char* Name;
        std::string Bytes;
        std::string Json;
    };
    const Case cases[] = {
        { "empty", "", "\"\"" },
        { "quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\"" },
        { "named controls", "\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\"" },
        { "other controls", std::string("\x00\x01\x1F\x7F", 4), "\"\\u0000\\u0001\\u001f\\u007f\"" },
        { "c1 control", "\xC2\x9B[2J", "\"\\u009b[2J\"" },
        // Windows-1252 leaves 0x9D undefined; it maps to the C1 control U+009D.
        { "windows-1252 c1 control", "\x9D", "\"\\u009d\"" },
        { "utf-8 kept", "\xE2\x82\xAC \xF0\x9F\x98\x80", "\"\xE2\x82\xAC \xF0\x9F\x98\x80\"" },
        { "windows-1252 converted", "\x93Hi\x94 \xE9", "\"\xE2\x80\x9CHi\xE2\x80\x9D \xC3\xA9\"" },
        { "slash kept", "a/b", "\"a/b\"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonText::Quote(c.Bytes), c.Json) << c.Name;
}

} // namespace
} // namespace lumaquill
