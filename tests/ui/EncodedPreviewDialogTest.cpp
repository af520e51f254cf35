#include "ui/dialogs/EncodedPreviewDialog.h"

#include "image/FitRect.h"
#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"

#include <QDir>
#include <QImage>
#include <QPushButton>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t Blue = 0x0000FF;

TEST(EncodedPreviewDialogTest, HasItsTemplateControls)
{
    StegEngine engine;
    StegFlows flows(engine);
    test::ScriptedPrompts prompts;
    EncodedPreviewDialog dialog(flows, prompts);
    EXPECT_EQ(dialog.TemplateId(), 133);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Encoded Image (Low quality preview)"));
    EXPECT_EQ(dialog.size(), dialog.Units().ToPixels(262, 145));
    test::ExpectControls(dialog,
        {
            { kIdOk, "QPushButton", "Save As", { 152, 124, 50, 14 } },
            { kIdCancel, "QPushButton", "Cancel", { 205, 124, 50, 14 } },
        });
    EXPECT_TRUE(dialog.SavePath().isEmpty());
}

// The area is the client area above the buttons within the margins, so the
// picture is clear of the title bar and of the buttons; it keeps its aspect
// inside it.
Rect PreviewArea(const EncodedPreviewDialog& dialog, int32_t width, int32_t height)
{
    const QRect area = dialog.PreviewArea();
    EXPECT_GT(area.top(), 0);
    EXPECT_LT(area.bottom(), dialog.Button(kIdOk)->geometry().top());
    const Rect fitted = FitRect({ 0, 0, area.width(), area.height() }, width, height);
    return { area.left() + fitted.Left, area.top() + fitted.Top, area.left() + fitted.Right,
        area.top() + fitted.Bottom };
}

struct PaintCase {
    const char* Name;
    int32_t Width;
    int32_t Height;
};

TEST(EncodedPreviewDialogTest, PaintsThePictureFittedWithItsAspectKept)
{
    const PaintCase cases[] = {
        { "wide picture, reduced", 900, 100 },
        { "tall picture, enlarged", 6, 9 },
    };
    for (const PaintCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::TestContainer container(c.Width, c.Height, Red, Blue);
        test::ScriptedPrompts prompts;
        EncodedPreviewDialog dialog(container.Flows, prompts);
        dialog.show();
        const Rect r = PreviewArea(dialog, c.Width, c.Height);
        const QImage shown = dialog.grab().toImage();
        const int middle = (r.Top + r.Bottom) / 2;
        EXPECT_EQ(shown.pixel(r.Left + r.Width() / 4, middle), qRgb(255, 0, 0));
        EXPECT_EQ(shown.pixel(r.Left + 3 * r.Width() / 4, middle), qRgb(0, 0, 255));
        const QRgb background = dialog.palette().color(QPalette::Window).rgb();
        if (c.Width > c.Height) {
            ASSERT_GT(r.Top, 1);
            EXPECT_EQ(shown.pixel(r.Left + r.Width() / 4, r.Top - 1), background);
            EXPECT_EQ(shown.pixel(r.Left + r.Width() / 4, r.Bottom + 1), background);
        } else {
            ASSERT_GT(r.Left, 1);
            EXPECT_EQ(shown.pixel(r.Left - 1, middle), background);
            EXPECT_EQ(shown.pixel(r.Right + 1, middle), background);
        }
    }
}

TEST(EncodedPreviewDialogTest, SaveAsOffersTheLosslessFormatsAndEndsWithTheChosenPath)
{
    test::TestContainer container(8, 6, Red, Blue);
    test::ScriptedPrompts prompts;
    const QString folder = container.Folder.path();
    prompts.AnswerFile(folder + QStringLiteral("/secret"));
    EncodedPreviewDialog dialog(container.Flows, prompts);
    test::ModalAction save([&](QWidget*) { dialog.Button(kIdOk)->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.SavePath(), folder + QStringLiteral("/secret.png"));

    ASSERT_EQ(prompts.FileRequests.size(), 1u);
    const test::FileRequest& request = prompts.FileRequests[0];
    EXPECT_TRUE(request.Save);
    EXPECT_EQ(request.Options.Filter,
        QStringLiteral("PNG image (*.png)|*.png|Bitmap files (*.bmp)|*.bmp|WebP image, lossless (*.webp)|*.webp||"));
    EXPECT_EQ(request.Options.DefaultExtension, QStringLiteral("png"));
    EXPECT_TRUE(request.Options.InitialName.isEmpty());
    EXPECT_EQ(request.Options.Flags, FilePromptFlag::HideReadOnly | FilePromptFlag::OverwritePrompt);
    EXPECT_TRUE(prompts.Messages.empty());
}

// A name with the extension of a written format keeps it and is saved in
// that format; any other name gets ".png". A dot in a folder name is no
// extension.
TEST(EncodedPreviewDialogTest, SaveAsKeepsAWrittenFormatsExtensionAndElseAddsPng)
{
    const std::pair<QString, QString> names[] = {
        { QStringLiteral("/tmp/picture.png"), QStringLiteral("/tmp/picture.png") },
        { QStringLiteral("/tmp/old.pictures/holiday"), QStringLiteral("/tmp/old.pictures/holiday.png") },
        { QStringLiteral("/tmp/holiday.BMP"), QStringLiteral("/tmp/holiday.BMP") },
        { QStringLiteral("/tmp/holiday.webp"), QStringLiteral("/tmp/holiday.webp") },
        { QStringLiteral("/tmp/holiday.txt"), QStringLiteral("/tmp/holiday.txt.png") },
    };
    for (const auto& [typed, saved] : names) {
        SCOPED_TRACE(typed.toStdString());
        StegEngine engine;
        StegFlows flows(engine);
        test::ScriptedPrompts prompts;
        prompts.AnswerFile(typed);
        EncodedPreviewDialog dialog(flows, prompts);
        dialog.show();
        dialog.Button(kIdOk)->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.SavePath(), saved);
    }
}

// A lossy format's name is answered with the reason, and the prompt comes
// back offering the name with the default format's extension.
TEST(EncodedPreviewDialogTest, ALossyNameIsRefusedWithTheReasonAndAskedAgain)
{
    test::TestContainer container(8, 6, Red, Blue);
    test::ScriptedPrompts prompts;
    prompts.AnswerFile(QStringLiteral("/tmp/photo.jpg"));
    prompts.AnswerFile(QStringLiteral("/tmp/photo.HEIC"));
    prompts.AnswerFile(QStringLiteral("/tmp/photo.png"));
    EncodedPreviewDialog dialog(container.Flows, prompts);
    dialog.SuggestedName = QStringLiteral("holiday.png");
    dialog.show();
    dialog.Button(kIdOk)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.SavePath(), QStringLiteral("/tmp/photo.png"));
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[0].Text,
        QStringLiteral("photo.jpg names a lossy format (JPEG, HEIC or AVIF), which destroys what is hidden. Save "
                       "the picture as PNG, BMP or WebP."));
    EXPECT_EQ(prompts.Messages[0].Icon, MessageIcon::Exclamation);
    ASSERT_EQ(prompts.FileRequests.size(), 3u);
    EXPECT_EQ(prompts.FileRequests[0].Options.InitialName, QStringLiteral("holiday.png"));
    EXPECT_EQ(prompts.FileRequests[1].Options.InitialName, QStringLiteral("photo.png"));
}

TEST(EncodedPreviewDialogTest, CancellingTheSavePromptKeepsTheWindowOpen)
{
    test::TestContainer container(8, 6, Red, Blue);
    test::ScriptedPrompts prompts;
    prompts.AnswerFile(std::nullopt);
    prompts.AnswerFile(QStringLiteral("/tmp/second.bmp"));
    EncodedPreviewDialog dialog(container.Flows, prompts);
    test::ModalAction saveTwice([&](QWidget*) {
        dialog.Button(kIdOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.SavePath().isEmpty());
        dialog.Button(kIdOk)->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(prompts.FileRequests.size(), 2u);
    EXPECT_EQ(dialog.SavePath(), QStringLiteral("/tmp/second.bmp"));
}

TEST(EncodedPreviewDialogTest, CancelEndsWithoutAPath)
{
    test::TestContainer container(8, 6, Red, Blue);
    test::ScriptedPrompts prompts;
    EncodedPreviewDialog dialog(container.Flows, prompts);
    test::ModalAction cancel([&](QWidget*) { dialog.Button(kIdCancel)->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(dialog.SavePath().isEmpty());
    EXPECT_TRUE(prompts.FileRequests.empty());
}

} // namespace
} // namespace lumaquill
