#include "ui/qt/FileFilter.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

struct FilterCase {
    const char* Name;
    const char* Classic;
    QStringList Qt;
};

const FilterCase FilterCases[] = {
    { "AllFiles", "All files (*.*)|*.*||", { QStringLiteral("All files (*.*) (*)") } },
    { "Bitmaps", "Bitmap files (*.bmp)|*.bmp||", { QStringLiteral("Bitmap files (*.bmp) (*.bmp)") } },
    { "SeveralPairsAndPatterns", "Pictures|*.bmp;*.dib|Anything|*.*||",
        { QStringLiteral("Pictures (*.bmp *.dib)"), QStringLiteral("Anything (*)") } },
    { "EmptyMeansEveryFile", "", {} },
    { "EmptyFieldEndsTheList", "Nothing||Text|*.txt||", {} },
    { "BlankPatternsDropped", "Blank| ; |Text|*.txt||", { QStringLiteral("Text (*.txt)") } },
    { "MissingClosingBars", "Text|*.txt", { QStringLiteral("Text (*.txt)") } },
    { "BlanksAroundPatterns", "Text| *.txt ; *.log |", { QStringLiteral("Text (*.txt *.log)") } },
};

class FileFilterConversion : public ::testing::TestWithParam<FilterCase> { };

TEST_P(FileFilterConversion, BecomesQtNameFilters)
{
    EXPECT_EQ(FileFilter::ToQtFilters(QString::fromLatin1(GetParam().Classic)), GetParam().Qt);
}

INSTANTIATE_TEST_SUITE_P(Cases, FileFilterConversion, ::testing::ValuesIn(FilterCases),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lumaquill
