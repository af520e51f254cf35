#include "ui/PreviewDialog.h"

#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"

#include <QImage>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t Blue = 0x0000FF;

TEST(PreviewDialogTest, IsAModelessPreviewWindowWithoutControls)
{
    StegEngine engine;
    QWidget owner;
    PreviewDialog preview(engine, &owner);
    EXPECT_EQ(preview.TemplateId(), 129);
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Preview"));
    EXPECT_EQ(preview.size(), preview.Units().ToPixels(244, 198));
    EXPECT_EQ(preview.parentWidget(), &owner);
    EXPECT_TRUE(preview.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(preview.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty());
    EXPECT_FALSE(preview.isVisible());
}

// The owner creates the preview hidden; the Preview button shows it at the
// image's size, where its top-left corner was.
TEST(PreviewDialogTest, ShowAtImageSizeKeepsThePlaceAndTakesTheImagesSize)
{
    test::TestContainer container(90, 70, Red, Blue);
    PreviewDialog preview(container.Engine, nullptr);
    preview.show();
    preview.move(40, 30);
    preview.hide();

    preview.ShowAtImageSize();
    EXPECT_TRUE(preview.isVisible());
    EXPECT_FALSE(preview.isMinimized());
    EXPECT_EQ(preview.frameGeometry().size(), QSize(90, 70));
    EXPECT_EQ(preview.pos(), QPoint(40, 30));
}

// No aspect is kept: both halves of the picture fill their half of the
// client area, whatever its proportions.
TEST(PreviewDialogTest, PaintsTheWholeImageStretchedIntoTheClientArea)
{
    test::TestContainer container(8, 6, Red, Blue);
    PreviewDialog preview(container.Engine, nullptr);
    preview.show();
    const QImage shown = preview.grab().toImage();
    const int w = shown.width();
    const int h = shown.height();
    ASSERT_GT(w, 20);
    EXPECT_EQ(shown.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(w / 2 - 2, h - 2), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(w / 2 + 2, 1), qRgb(0, 0, 255));
    EXPECT_EQ(shown.pixel(w - 2, h - 2), qRgb(0, 0, 255));
}

TEST(PreviewDialogTest, PaintsNothingWithoutAnImage)
{
    StegEngine engine;
    PreviewDialog preview(engine, nullptr);
    preview.show();
    const QImage shown = preview.grab().toImage();
    const QRgb background = preview.palette().color(QPalette::Window).rgb();
    EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() / 2), background);
}

// The close box and Escape only hide it; the owner shows it again later
// with the image as it is then.
TEST(PreviewDialogTest, CloseBoxAndEscapeHideItForTheNextShow)
{
    test::TestContainer container(8, 6, Red, Blue);
    PreviewDialog preview(container.Engine, nullptr);
    preview.ShowAtImageSize();
    EXPECT_TRUE(preview.close());
    EXPECT_FALSE(preview.isVisible());

    preview.ShowAtImageSize();
    ASSERT_TRUE(preview.isVisible());
    test::PressKey(&preview, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());

    container.Load(10, 12, Blue, Blue);
    preview.ShowAtImageSize();
    EXPECT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.frameGeometry().size(), QSize(10, 12));
    EXPECT_EQ(preview.grab().toImage().pixel(1, 1), qRgb(0, 0, 255));
}

} // namespace
} // namespace lumaquill
