#include "ui/template/StringTable.h"

#include "ui/template/UiResources.h"

#include <gtest/gtest.h>
#include <set>

namespace lumaquill {
namespace {

TEST(StringTableTest, ParsesIdTabTextLines)
{
    const StringTable table = StringTable::Parse("# comment\n"
                                                 "\n"
                                                 "7\tseven\r\n"
                                                 "8\ttab\tinside\n"
                                                 "x\tnot a number\n"
                                                 "no tab at all\n"
                                                 "7\tseven again\n"
                                                 "9\t\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(table.Get(7), QStringLiteral("seven again"));
    EXPECT_EQ(table.Get(8), QStringLiteral("tab\tinside"));
    EXPECT_EQ(table.Get(9), QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
    EXPECT_FALSE(table.Contains(10));
    EXPECT_TRUE(table.Get(10).isEmpty());
}

TEST(StringTableTest, ProgramTableHoldsTheAboutEntryNinePromotionalLinesNoticeAndAddress)
{
    EXPECT_EQ(UiResources::String(101), QStringLiteral("&About Lumaquill..."));
    std::set<QString> promo;
    for (int id = 102; id <= 110; ++id) {
        EXPECT_FALSE(UiResources::String(id).isEmpty()) << id;
        promo.insert(UiResources::String(id));
    }
    EXPECT_EQ(promo.size(), 9u);
    EXPECT_FALSE(UiResources::String(111).isEmpty());
    EXPECT_TRUE(UiResources::String(112).contains(QStringLiteral(".example")));
}

TEST(UiResourcesTest, IconsAndBitmapsHaveTheirSizes)
{
    EXPECT_EQ(UiResources::Icon(128).size(), QSize(32, 32));
    EXPECT_EQ(UiResources::Icon(141).size(), QSize(232, 71));
    EXPECT_EQ(UiResources::Bitmap(142).size(), QSize(106, 67));
    EXPECT_EQ(UiResources::Bitmap(143).size(), QSize(106, 67));
    EXPECT_TRUE(UiResources::Bitmap(999).isNull());
}

} // namespace
} // namespace lumaquill
