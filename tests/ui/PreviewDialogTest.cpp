#include "ui/dialogs/PreviewDialog.h"

#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QScreen>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t Blue = 0x0000FF;

TEST(PreviewDialogTest, IsAModelessPreviewWindowWithoutControls)
{
    StegEngine engine;
    StegFlows flows(engine);
    QWidget owner;
    PreviewDialog preview(flows, &owner);
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
    PreviewDialog preview(container.Flows, nullptr);
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
    PreviewDialog preview(container.Flows, nullptr);
    preview.show();
    const QImage shown = preview.grab().toImage();
    const int w = shown.width();
    const int h = shown.height();
    ASSERT_GT(w, 20);
    // The stretch blends only across the border of the halves.
    EXPECT_EQ(shown.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(w / 4, h - 2), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(3 * w / 4, 1), qRgb(0, 0, 255));
    EXPECT_EQ(shown.pixel(w - 2, h - 2), qRgb(0, 0, 255));
    const QRgb border = shown.pixel(w / 2, h / 2);
    EXPECT_GT(qRed(border), 0);
    EXPECT_GT(qBlue(border), 0);
}

struct FitCase {
    const char* Name;
    QSize Image;
    QRect Available;
    QSize Outer;
};

TEST(PreviewDialogTest, APictureLargerThanTheScreenIsShownAtNineTenthsWithItsProportions)
{
    const FitCase cases[] = {
        { "fits: its own size", { 640, 480 }, { 0, 0, 1600, 1200 }, { 640, 480 } },
        { "exactly nine tenths", { 1440, 1080 }, { 0, 0, 1600, 1200 }, { 1440, 1080 } },
        { "4000 x 3000 on 1600 x 1200", { 4000, 3000 }, { 0, 0, 1600, 1200 }, { 1440, 1080 } },
        { "wide", { 8000, 1000 }, { 0, 30, 1920, 1050 }, { 1728, 216 } },
        { "tall", { 1000, 9000 }, { 0, 0, 1920, 1000 }, { 100, 900 } },
        { "a thread stays a pixel wide", { 1, 90000 }, { 0, 0, 1000, 1000 }, { 1, 900 } },
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(PreviewDialog::FittedOuterSize(c.Image, c.Available), c.Outer);
    }
}

// A picture larger than the screen: the window takes at most 90% of the
// available area, keeps the picture's proportions and lies inside the area,
// close box included.
TEST(PreviewDialogTest, ALargePictureGetsAWindowThatFitsTheScreen)
{
    test::TestContainer container(2000, 1500, Red, Blue);
    PreviewDialog preview(container.Flows, nullptr);
    preview.show();
    preview.move(300, 200);
    preview.hide();
    preview.ShowAtImageSize();
    const QRect available = preview.screen()->availableGeometry();
    const QRect frame = preview.frameGeometry();
    EXPECT_LE(frame.width(), available.width() * 9 / 10);
    EXPECT_LE(frame.height(), available.height() * 9 / 10);
    EXPECT_NEAR(double(frame.width()) / frame.height(), 2000.0 / 1500.0, 0.01);
    EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.y();
}

// Shown, the preview is the active window, so the Escape the user presses
// while looking at it closes the preview and not the dialog behind it.
TEST(PreviewDialogTest, EscapeWhileLookingAtThePreviewClosesOnlyThePreview)
{
    test::TestContainer container(8, 6, Red, Blue);
    QDialog owner;
    owner.show();
    QApplication::setActiveWindow(&owner);
    PreviewDialog preview(container.Flows, &owner);
    preview.ShowAtImageSize();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &preview);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    test::PressKey(target, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_TRUE(owner.isVisible());
}

TEST(PreviewDialogTest, PaintsNothingWithoutAnImage)
{
    StegEngine engine;
    StegFlows flows(engine);
    PreviewDialog preview(flows, nullptr);
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
    PreviewDialog preview(container.Flows, nullptr);
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
