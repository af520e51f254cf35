#include "app/AboutDialog.h"

#include "core/ProjectInfo.h"
#include "ui/GuiTestSupport.h"
#include "ui/template/UiResources.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

TEST(AboutDialogTest, ShowsTheAddressTheVersionAndTheBannerClearOfEachOther)
{
    AboutDialog about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Lumaquill"));
    EXPECT_EQ(about.TemplateId(), 100);
    EXPECT_EQ(about.font().pointSize(), 12);
    EXPECT_EQ(about.size(), about.Units().ToPixels(130, 76));
    QLabel* address = nullptr;
    QLabel* version = nullptr;
    for (QLabel* label : about.findChildren<QLabel*>()) {
        if (label->text() == UiResources::String(AboutDialog::kWebAddressStringId))
            address = label;
        if (label->text() == AboutDialog::VersionLine())
            version = label;
    }
    ASSERT_NE(address, nullptr);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(address->geometry(), about.Units().ToPixels(DluRect { 10, 33, 110, 9 }));
    EXPECT_LE(address->fontMetrics().horizontalAdvance(address->text()), address->width());
    EXPECT_EQ(AboutDialog::VersionLine(), QStringLiteral("Version ") + QLatin1StringView(kProjectVersion.data()));
    EXPECT_LE(version->fontMetrics().horizontalAdvance(version->text()), version->width());
    EXPECT_GE(version->geometry().top(), address->geometry().bottom());
    EXPECT_LT(version->geometry().bottom(), about.Button(kIdOk)->geometry().top());
    const QRect banner(about.BannerPosition(), about.BannerSize());
    EXPECT_EQ(banner.size(), QSize(232, 71));
    EXPECT_EQ(banner.left(), 10);
    EXPECT_LE(banner.top(), 10);
    EXPECT_LT(banner.bottom(), address->geometry().top());
    EXPECT_EQ(about.Button(kIdOk)->geometry(), about.Units().ToPixels(DluRect { 45, 58, 40, 12 }));
    // Room beside the banner: it fits the window with its margin both sides.
    EXPECT_LE(banner.right() + 10, about.width());
}

TEST(AboutDialogTest, OkClosesIt)
{
    AboutDialog about;
    test::ModalAction ok([&](QWidget*) { about.Button(kIdOk)->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_TRUE(ok.Done());
}

} // namespace
} // namespace lumaquill
