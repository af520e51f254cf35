#include "ui/template/DialogUnits.h"

#include "ui/template/TemplateFont.h"

#include <QApplication>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

struct ConversionCase {
    const char* Name;
    int BaseX;
    int BaseY;
    DluRect Dialog;
    QRect Pixels;
};

// Base units 6 x 13 are those of the classic 8-point face, for which the
// templates were drawn; the expected pixels are rounded to nearest.
const ConversionCase ConversionCases[] = {
    { "ClassicButton", 6, 13, { 7, 79, 84, 50 }, QRect(11, 128, 126, 81) },
    { "ClassicDialog", 6, 13, { 0, 0, 188, 198 }, QRect(0, 0, 282, 322) },
    { "WiderFont", 7, 13, { 7, 79, 84, 50 }, QRect(12, 128, 147, 81) },
    { "LargeFont", 8, 16, { 7, 21, 226, 18 }, QRect(14, 42, 452, 36) },
    { "HalfRoundsAwayFromZero", 5, 12, { 2, 1, 6, 3 }, QRect(3, 2, 8, 5) },
    { "NegativeHalfRoundsAwayFromZero", 6, 13, { -3, -4, 1, 1 }, QRect(-5, -7, 2, 2) },
};

class DialogUnitsConversion : public ::testing::TestWithParam<ConversionCase> { };

TEST_P(DialogUnitsConversion, ConvertsToPixels)
{
    const ConversionCase& c = GetParam();
    EXPECT_EQ(DialogUnits(c.BaseX, c.BaseY).ToPixels(c.Dialog), c.Pixels);
}

INSTANTIATE_TEST_SUITE_P(Cases, DialogUnitsConversion, ::testing::ValuesIn(ConversionCases),
    [](const ::testing::TestParamInfo<ConversionCase>& info) { return std::string(info.param.Name); });

TEST(DialogUnitsTest, VerticalBaseIsTheFontsCharacterHeight)
{
    const QFont font = TemplateFont::Resolve(QStringLiteral("MS Sans Serif"), 8);
    EXPECT_EQ(DialogUnits(font).BaseY(), QFontMetrics(font).height());
}

TEST(DialogUnitsTest, HorizontalBaseIsHalfTheRoundedUpLetterWidth)
{
    // A face twice as large has (nearly) twice the base units.
    const QFont small = TemplateFont::Resolve(QStringLiteral("MS Sans Serif"), 10);
    const QFont large = TemplateFont::Resolve(QStringLiteral("MS Sans Serif"), 20);
    const int smallX = DialogUnits(small).BaseX();
    const int largeX = DialogUnits(large).BaseX();
    EXPECT_GT(smallX, 0);
    EXPECT_NEAR(largeX, 2 * smallX, 2);
}

TEST(DialogUnitsTest, LayoutScalesWithTheFont)
{
    const DialogUnits small(TemplateFont::Resolve(QStringLiteral("MS Sans Serif"), 8));
    const DialogUnits large(TemplateFont::Resolve(QStringLiteral("MS Sans Serif"), 16));
    EXPECT_NEAR(double(large.X(188)) / small.X(188), 2.0, 0.3);
    EXPECT_NEAR(double(large.Y(198)) / small.Y(198), 2.0, 0.3);
}

TEST(DialogUnitsTest, WideningStretchesOnlyHorizontalDistances)
{
    const DialogUnits units = DialogUnits(6, 13).Widened(1.5);
    EXPECT_EQ(units.ToPixels(DluRect { 4, 8, 8, 8 }), QRect(9, 13, 18, 13));
    EXPECT_EQ(DialogUnits(6, 13).Widened(0.5).X(4), 6);
}

TEST(TemplateFontTest, ClassicFaceBecomesTheDesktopFaceAtTheTemplateSize)
{
    const QFont font = TemplateFont::Resolve(QStringLiteral("MS Sans Serif"), 8);
    EXPECT_EQ(font.family(), QApplication::font().family());
    EXPECT_EQ(font.pointSize(), 8);
    EXPECT_EQ(
        TemplateFont::Resolve(QStringLiteral("No Such Face Anywhere"), 12).family(), QApplication::font().family());
    EXPECT_EQ(TemplateFont::Resolve(QStringLiteral("Comic Sans MS"), 12).pointSize(), 12);
}

} // namespace
} // namespace lumaquill
