#include "ui/dialogs/DecodeDialog.h"

#include "engine/StegEngine.h"
#include "flows/StegFlows.h"
#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"
#include "ui/dialogs/PreviewDialog.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

class DecodeDialogTest : public ::testing::Test {
protected:
    DecodeDialogTest()
        : Dialog(Flows, Prompts)
    {
        Dialog.show();
    }

    StegEngine Engine;
    StegFlows Flows { Engine };
    test::ScriptedPrompts Prompts;
    DecodeDialog Dialog;
};

TEST_F(DecodeDialogTest, HasItsTemplateControlsAndNoCancelButton)
{
    EXPECT_EQ(Dialog.TemplateId(), 145);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Decode"));
    EXPECT_EQ(Dialog.size(), Dialog.Units().ToPixels(188, 198));
    test::ExpectControls(Dialog,
        {
            { 1045, "QLabel", "From which image do you want to decode?", { 7, 77, 136, 8 } },
            { 1053, "QPushButton", "Image", { 7, 87, 79, 14 } },
            { 1000, "QPushButton", "Preview", { 102, 87, 79, 14 } },
            { kIdOk, "QPushButton", "Decode", { 97, 141, 84, 50 } },
            { 1070, "QLabel", "Image: none chosen yet", { 7, 104, 174, 10 } },
        });
    EXPECT_EQ(Dialog.Control(kIdCancel), nullptr);
    EXPECT_TRUE(Dialog.Button(kIdOk)->isDefault());
    EXPECT_FALSE(Dialog.Button(kIdOk)->icon().isNull());
    EXPECT_EQ(Dialog.Button(kIdOk)->iconSize(), QSize(106, 67));
    EXPECT_EQ(Dialog.BannerSize(), QSize(232, 71));
    ASSERT_NE(Dialog.Preview(), nullptr);
    EXPECT_EQ(Dialog.Preview()->parentWidget(), &Dialog);
    EXPECT_FALSE(Dialog.Preview()->isVisible());
}

TEST_F(DecodeDialogTest, ImagePromptAsksForAnExistingPictureAndCancelChangesNothing)
{
    test::TestContainer container(40, 30, 0x000000FF, 0x0000FF00);
    DecodeDialog dialog(container.Flows, Prompts);
    Prompts.AnswerFile(std::nullopt);
    dialog.Button(DecodeDialog::kImageButtonId)->click();
    ASSERT_EQ(Prompts.FileRequests.size(), 1u);
    const FilePromptOptions& options = Prompts.FileRequests[0].Options;
    EXPECT_FALSE(Prompts.FileRequests[0].Save);
    EXPECT_EQ(options.Filter,
        QStringLiteral("Images|*.png;*.jpg;*.jpeg;*.jpe;*.webp;*.heic;*.heif;*.avif;*.bmp|Bitmap files "
                       "(*.bmp)|*.bmp|All files (*.*)|*.*||"));
    EXPECT_EQ(
        options.Flags, FilePromptFlag::HideReadOnly | FilePromptFlag::PathMustExist | FilePromptFlag::FileMustExist);
    EXPECT_TRUE(options.DefaultExtension.isEmpty());
    EXPECT_TRUE(options.InitialName.isEmpty());
    EXPECT_TRUE(container.Engine.IsUsableContainer());
}

TEST_F(DecodeDialogTest, PreviewShowsTheEnginesImageAtItsSizeAgainAfterBeingClosed)
{
    test::TestContainer container(40, 30, 0x000000FF, 0x0000FF00);
    DecodeDialog dialog(container.Flows, Prompts);
    dialog.show();
    for (int round = 0; round < 2; ++round) {
        dialog.Button(DecodeDialog::kPreviewButtonId)->click();
        EXPECT_TRUE(dialog.Preview()->isVisible());
        EXPECT_EQ(dialog.Preview()->frameGeometry().size(), QSize(40, 30));
        dialog.Preview()->close();
        EXPECT_FALSE(dialog.Preview()->isVisible());
    }
    EXPECT_TRUE(Prompts.Messages.empty());
}

TEST_F(DecodeDialogTest, CloseBoxEndsTheDialogWithCancel)
{
    DecodeDialog dialog(Flows, Prompts);
    test::ModalAction close([](QWidget* window) { window->close(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(close.Done());
    EXPECT_TRUE(Prompts.Messages.empty());
}

// An image dropped on the Image or the Decode button is chosen, and the
// line below the buttons names it with its size; an image left from before
// is shown as such when the dialog opens.
TEST(DecodeDialogDropTest, DroppedImagesAreChosenAndTheLineNamesThem)
{
    test::TestContainer container(40, 30, 0x000000FF, 0x0000FF00);
    container.Load(20, 10, 0x000000FF, 0x0000FF00);
    test::ScriptedPrompts prompts;
    DecodeDialog dialog(container.Flows, prompts);
    dialog.show();
    EXPECT_EQ(dialog.ControlText(DecodeDialog::kChosenImageId),
        QStringLiteral("Image: the image from before, 20 x 10 pixels"));
    for (int button : { DecodeDialog::kImageButtonId, int(kIdOk) }) {
        SCOPED_TRACE(button);
        test::DropFilesOn(dialog.Button(button), { container.Folder.filePath(QStringLiteral("container1.bmp")) });
        EXPECT_EQ(container.Engine.Width(), 40);
        EXPECT_EQ(
            dialog.ControlText(DecodeDialog::kChosenImageId), QStringLiteral("Image: container1.bmp, 40 x 30 pixels"));
        test::DropFilesOn(dialog.Button(button), { container.Folder.filePath(QStringLiteral("container2.bmp")) });
        EXPECT_EQ(
            dialog.ControlText(DecodeDialog::kChosenImageId), QStringLiteral("Image: container2.bmp, 20 x 10 pixels"));
    }
    // Anywhere on the window, not only on the buttons.
    test::DropFilesOn(dialog.Static(DecodeDialog::kChosenImageId), { container.Folder.filePath("container1.bmp") });
    EXPECT_EQ(container.Engine.Width(), 40);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_TRUE(prompts.FileRequests.empty());
}

} // namespace
} // namespace lumaquill
