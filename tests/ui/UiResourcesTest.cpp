#include "ui/template/UiResources.h"

#include <gtest/gtest.h>

namespace lumaquill {
namespace {

struct ArtworkCase {
    const char* Name;
    qreal Ratio;
    int Scale;
};

// Every picture exists at 1x, 2x and 3x; the one drawn for a screen keeps
// the 1x picture's logical size, so the dialogs lay out alike at any scale.
TEST(UiResourcesTest, ArtworkComesAtTheResolutionOfTheScreen)
{
    const ArtworkCase cases[] = {
        { "plain", 1.0, 1 },
        { "a quarter more", 1.25, 2 },
        { "double", 2.0, 2 },
        { "two and a half", 2.5, 3 },
        { "triple", 3.0, 3 },
        { "beyond the largest drawing", 4.0, 3 },
    };
    const std::pair<QString, QSize> pictures[] = {
        { QStringLiteral(":/icons/128"), { 32, 32 } },
        { QStringLiteral(":/icons/141"), { 232, 71 } },
        { QStringLiteral(":/bitmaps/142"), { 106, 67 } },
        { QStringLiteral(":/bitmaps/143"), { 106, 67 } },
    };
    for (const ArtworkCase& c : cases) {
        for (const auto& [base, size] : pictures) {
            SCOPED_TRACE(testing::Message() << c.Name << ", " << base.toStdString());
            const QPixmap picture = UiResources::Artwork(base, c.Ratio);
            ASSERT_FALSE(picture.isNull());
            EXPECT_EQ(picture.size(), size * c.Scale);
            EXPECT_EQ(picture.devicePixelRatio(), c.Scale);
            EXPECT_EQ(picture.deviceIndependentSize().toSize(), size);
        }
    }
}

TEST(UiResourcesTest, TheWindowIconHoldsAllThreeResolutions)
{
    const QIcon icon = UiResources::AppIcon();
    for (int scale : { 1, 2, 3 })
        EXPECT_EQ(icon.pixmap(QSize(32, 32), qreal(scale)).size(), QSize(32, 32) * scale) << scale;
}

} // namespace
} // namespace lumaquill
