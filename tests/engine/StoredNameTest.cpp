#include "engine/StoredName.h"

#include "io/Utf8.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

struct FieldCase {
    const char* Label;
    std::string Name;
    std::string Field;
    uint32_t Limit = 50;
};

const FieldCase kFieldCases[] = {
    { "BareName", "report.txt", "report.txt" },
    { "Backslashes", "C:\\data\\report.txt", "report.txt" },
    { "Slashes", "/home/u/report.txt", "report.txt" },
    { "MixedSeparators", "C:\\a/b\\c.txt", "c.txt" },
    { "FiftyBytesKept", std::string(50, 'x'), std::string(50, 'x') },
    { "SixtyBytesCut", std::string(60, 'x'), std::string(50, 'x') },
    { "TwoByteCharacterAtTheCut", "x" + Repeat("\xC3\xA9", 30), "x" + Repeat("\xC3\xA9", 24) },
    { "FourByteCharacterAtTheCut", "xy" + Repeat("\xF0\x9F\x98\x80", 20), "xy" + Repeat("\xF0\x9F\x98\x80", 12) },
    // Not UTF-8: cut at 50 bytes as they are.
    { "Windows1252Cut", Repeat("\xE9", 60), Repeat("\xE9", 50) },
    // A long name keeps its extension: the part before it is cut instead.
    { "ExtensionKept", std::string(60, 'x') + ".pdf", std::string(46, 'x') + ".pdf" },
    { "ExtensionKeptAcrossACharacter", "x" + Repeat("\xC3\xA9", 30) + ".odt", "x" + Repeat("\xC3\xA9", 22) + ".odt" },
    // A leading dot is no extension; an extension over 16 bytes is not kept.
    { "LeadingDotOnly", "." + std::string(60, 'x'), "." + std::string(49, 'x') },
    { "ExtensionTooLong", std::string(40, 'x') + "." + std::string(16, 'e'),
        std::string(40, 'x') + "." + std::string(9, 'e') },
    { "SixteenByteExtension", std::string(40, 'x') + "." + std::string(15, 'e'),
        std::string(34, 'x') + "." + std::string(15, 'e') },
    // EmbedMode 4 stores the bare name too, at most 30 bytes.
    { "NoiseModeBareName", "/home/ann/report.txt", "report.txt", 30 },
    { "NoiseModeExample", "/home/ann/Quarterly board budget draft final.xlsx", "Quarterly board budget dr.xlsx", 30 },
    { "NoiseModeNoExtension", std::string(40, 'x'), std::string(30, 'x'), 30 },
    { "NoiseModeThirtyBytesKept", "C:\\d\\" + std::string(30, 'x'), std::string(30, 'x'), 30 },
};

class NameField : public testing::TestWithParam<FieldCase> { };

TEST_P(NameField, KeepsTheLastComponentWithinTheLimit)
{
    EXPECT_EQ(StoredNameField(GetParam().Name, GetParam().Limit), GetParam().Field);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameField, testing::ValuesIn(kFieldCases), [](const auto& info) { return std::string(info.param.Label); });

struct SafeCase {
    const char* Label;
    std::string Stored;
    std::string Offered;
};

const SafeCase kSafeCases[] = {
    { "Plain", "report.txt", "report.txt" },
    { "Empty", "", "decoded.bin" },
    { "Dot", ".", "decoded.bin" },
    { "DotDot", "..", "decoded.bin" },
    { "Hidden", "../.profile", "_profile" },
    { "LeadingDots", "...x.txt", "___x.txt" },
    { "TrailingSlash", "dir/", "decoded.bin" },
    { "ParentPath", "../../etc/passwd", "passwd" },
    { "WindowsParent", "..\\..\\boot.ini", "boot.ini" },
    { "Tab", "a\tb", "a_b" },
    { "Delete", "a\x7F", "a_" },
    { "C1Control", "a\xC2\x85z", "a_z" },
    { "Windows1252", "na\xEFve \x80", "na\xC3\xAFve \xE2\x82\xAC" },
    { "Windows1252UndefinedByte", "a\x81z\xFF", "a_z\xC3\xBF" },
    // A UTF-8 character cut off at the end of the 50-byte field.
    { "TruncatedUtf8Tail", "caf\xC3\xA9\xE2\x82", "caf\xC3\xA9" },
    { "Overlong", "\xC0\xAF", "\xC3\x80\xC2\xAF" },
    { "Surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC" },
    // Never a hidden file: leading dots become '_'.
    { "HiddenName", ".bash_profile", "_bash_profile" },
    { "HiddenAfterPath", "/home/u/..profile", "__profile" },
    { "ThreeDots", "...", "___" },
    { "InnerDotsKept", "a.tar.gz", "a.tar.gz" },
    // Invisible format characters are dropped: "exe.txt" written with a
    // right-to-left override would show as "txt.exe".
    { "RightToLeftOverride", "invoice\xE2\x80\xAEtxt.exe", "invoicetxt.exe" },
    { "Isolates",
        "a\xE2\x81\xA6"
        "b\xE2\x81\xA9"
        "c",
        "abc" },
    { "ZeroWidthAndMarks",
        "\xE2\x80\x8B"
        "a\xE2\x80\x8F"
        "b",
        "ab" },
    { "HiddenBehindZeroWidth", "\xE2\x80\x8B.bashrc", "_bashrc" },
    // Every length of UTF-8: the soft hyphen, the Arabic letter mark, the
    // word joiner, the byte order mark, the Hangul filler, a line separator,
    // tag characters.
    { "InvisibleOfEveryLength",
        "a\xC2\xAD"
        "b\xD8\x9C"
        "c\xE2\x81\xA0"
        "d\xEF\xBB\xBF"
        "e\xE3\x85\xA4"
        "f\xE2\x80\xA8"
        "g\xF3\xA0\x80\x81\xF3\xA0\x81\x81"
        "h",
        "abcdefgh" },
    { "BrailleBlankKept", "a\xE2\xA0\x80", "a\xE2\xA0\x80" },
    { "OtherPunctuationKept",
        "a\xE2\x80\x94"
        "b",
        "a\xE2\x80\x94"
        "b" },
};

class SafeName : public testing::TestWithParam<SafeCase> { };

TEST_P(SafeName, IsABarePrintableUtf8Name)
{
    const std::string offered = SafeFileName(GetParam().Stored);
    EXPECT_EQ(offered, GetParam().Offered);
    EXPECT_TRUE(IsValidUtf8(offered));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SafeName, testing::ValuesIn(kSafeCases), [](const auto& info) { return std::string(info.param.Label); });

} // namespace
} // namespace lumaquill
