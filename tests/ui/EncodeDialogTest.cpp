#include "ui/EncodeDialog.h"

#include "engine/StegEngine.h"
#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"
#include "ui/PreviewDialog.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

const FilePromptFlags kOpenFlags
    = FilePromptFlag::HideReadOnly | FilePromptFlag::PathMustExist | FilePromptFlag::FileMustExist;

class EncodeDialogTest : public ::testing::Test {
protected:
    EncodeDialogTest()
        : Dialog(Engine, Prompts)
    {
        Dialog.show();
    }

    StegEngine Engine;
    test::ScriptedPrompts Prompts;
    EncodeDialog Dialog;
};

TEST_F(EncodeDialogTest, HasItsTemplateControlsAndNoCancelButton)
{
    EXPECT_EQ(Dialog.TemplateId(), 144);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Encode Image"));
    // Lines below the classic layout show what is chosen and whether it fits.
    EXPECT_EQ(Dialog.size(), Dialog.Units().ToPixels(188, 244));
    test::ExpectControls(Dialog,
        {
            { 1045, "QLabel", "What would you like to encode?", { 8, 65, 103, 8 } },
            { 1052, "QPushButton", "A file", { 7, 75, 79, 14 } },
            { 1019, "QPushButton", "Typed Text", { 102, 75, 79, 14 } },
            { 1051, "QLabel", "What would you like to encode this into?", { 8, 97, 129, 8 } },
            { 1053, "QPushButton", "Existing Image", { 8, 107, 79, 14 } },
            { 1058, "QCheckBox", "or  Pure Noise Image", { 99, 109, 82, 10 } },
            { 1000, "QPushButton", "Preview", { 8, 123, 79, 14 } },
            { IdOk, "QPushButton", "Ok", { 97, 141, 84, 50 } },
            { 1057, "QCheckBox", "Shrink to fit?", { 7, 144, 55, 10 } },
            { 1055, "QLabel", "Data Size : 0", { 7, 169, 71, 8 } },
            { 1056, "QLabel", "Max Size : 0", { 7, 181, 85, 8 } },
            { 1070, "QLabel", "Encoding: nothing chosen yet", { 7, 195, 174, 10 } },
            { 1071, "QLabel", "Into: no image chosen yet", { 7, 205, 174, 10 } },
            { 1072, "QLabel", "", { 7, 217, 174, 24 } },
        });
    EXPECT_EQ(Dialog.Control(IdCancel), nullptr);
    EXPECT_FALSE(Dialog.Button(IdOk)->icon().isNull());
    EXPECT_EQ(Dialog.Button(IdOk)->iconSize(), QSize(106, 67));
    EXPECT_EQ(Dialog.CheckBox(EncodeDialog::NoiseBoxId)->layoutDirection(), Qt::RightToLeft);
    EXPECT_FALSE(Dialog.IsChecked(EncodeDialog::NoiseBoxId));
    EXPECT_FALSE(Dialog.IsChecked(EncodeDialog::ShrinkBoxId));
    EXPECT_EQ(Dialog.BannerSize(), QSize(232, 71));
}

// Enter with a check box focused is Ok, not the first push button that
// once had the focus.
TEST_F(EncodeDialogTest, EnterOnACheckBoxIsOk)
{
    QApplication::setActiveWindow(&Dialog);
    Dialog.Control(EncodeDialog::FileButtonId)->setFocus();
    Dialog.Control(EncodeDialog::ShrinkBoxId)->setFocus();
    test::PressKey(Dialog.Control(EncodeDialog::ShrinkBoxId), Qt::Key_Return);
    EXPECT_TRUE(Prompts.FileRequests.empty());
    ASSERT_EQ(Prompts.Messages.size(), 1u);
    EXPECT_EQ(Prompts.Messages[0].Text, QStringLiteral("No data to encode."));
    EXPECT_FALSE(Dialog.IsChecked(EncodeDialog::ShrinkBoxId));
}

// Every button and box has its mnemonic (the picture button keeps Alt+O),
// and the Tab order follows a user's choices: Shrink before Ok.
TEST_F(EncodeDialogTest, MnemonicsEverywhereAndShrinkComesBeforeOkInTheTabOrder)
{
    const std::pair<int, const char*> marked[] = {
        { EncodeDialog::FileButtonId, "&A file" },
        { EncodeDialog::TypedTextButtonId, "&Typed Text" },
        { EncodeDialog::ExistingImageButtonId, "&Existing Image" },
        { EncodeDialog::PreviewButtonId, "&Preview" },
    };
    for (const auto& [id, text] : marked)
        EXPECT_EQ(Dialog.Button(id)->text(), QString::fromLatin1(text));
    EXPECT_EQ(Dialog.CheckBox(EncodeDialog::NoiseBoxId)->text(), QStringLiteral("or  Pure &Noise Image"));
    EXPECT_EQ(Dialog.CheckBox(EncodeDialog::ShrinkBoxId)->text(), QStringLiteral("&Shrink to fit?"));
    EXPECT_EQ(Dialog.Button(IdOk)->shortcut().toString(), QStringLiteral("Alt+O"));

    QStringList order;
    QWidget* widget = Dialog.Control(EncodeDialog::PreviewButtonId);
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != Dialog.Control(EncodeDialog::PreviewButtonId) && order.size() < 4);
    EXPECT_EQ(order.mid(0, 3),
        QStringList({ QStringLiteral("control1000"), QStringLiteral("control1057"), QStringLiteral("control1") }));
}

// After a choice the focus moves on: Enter does not reopen the prompt just
// answered.
TEST_F(EncodeDialogTest, EnterAfterChoosingAFileDoesNotReopenThePrompt)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("note.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("hello");
    file.close();
    QApplication::setActiveWindow(&Dialog);
    Dialog.Button(EncodeDialog::FileButtonId)->setFocus();
    Prompts.AnswerFile(file.fileName());
    test::PressKey(Dialog.Button(EncodeDialog::FileButtonId), Qt::Key_Return);
    ASSERT_EQ(Prompts.FileRequests.size(), 1u);
    EXPECT_EQ(Dialog.focusWidget(), Dialog.Control(EncodeDialog::ExistingImageButtonId));
    Prompts.AnswerFile(std::nullopt);
    test::PressKey(Dialog.focusWidget(), Qt::Key_Return);
    // The next step's prompt, the picture's, not the file's again.
    ASSERT_EQ(Prompts.FileRequests.size(), 2u);
    EXPECT_NE(Prompts.FileRequests[1].Options.Filter, Prompts.FileRequests[0].Options.Filter);
}

TEST_F(EncodeDialogTest, PreviewWindowIsMadeHiddenAndOwnedByTheDialog)
{
    ASSERT_NE(Dialog.Preview(), nullptr);
    EXPECT_EQ(Dialog.Preview()->parentWidget(), &Dialog);
    EXPECT_FALSE(Dialog.Preview()->isVisible());
    EXPECT_EQ(Dialog.Preview()->windowTitle(), QStringLiteral("Preview"));
}

TEST_F(EncodeDialogTest, FilePromptsAskForAnExistingFile)
{
    Prompts.AnswerFile(std::nullopt);
    Prompts.AnswerFile(std::nullopt);
    Dialog.Button(EncodeDialog::FileButtonId)->click();
    Dialog.Button(EncodeDialog::ExistingImageButtonId)->click();
    ASSERT_EQ(Prompts.FileRequests.size(), 2u);
    const std::pair<QString, test::FileRequest> expected[] = {
        { QStringLiteral("All files (*.*)|*.*||"), Prompts.FileRequests[0] },
        { QStringLiteral("Images|*.png;*.jpg;*.jpeg;*.jpe;*.webp;*.heic;*.heif;*.avif;*.bmp|Bitmap files "
                         "(*.bmp)|*.bmp|All files (*.*)|*.*||"),
            Prompts.FileRequests[1] },
    };
    for (const auto& [filter, request] : expected) {
        SCOPED_TRACE(filter.toStdString());
        EXPECT_FALSE(request.Save);
        EXPECT_EQ(request.Options.Filter, filter);
        EXPECT_EQ(request.Options.Flags, kOpenFlags);
        EXPECT_TRUE(request.Options.DefaultExtension.isEmpty());
        EXPECT_TRUE(request.Options.InitialName.isEmpty());
    }
    // Cancelled prompts change nothing.
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::DataSizeId), QStringLiteral("Data Size : 0"));
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::MaxSizeId), QStringLiteral("Max Size : 0"));
    EXPECT_TRUE(Prompts.Messages.empty());
}

TEST_F(EncodeDialogTest, AFileThatCannotBeReadIsReportedAndLeavesNoPayload)
{
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("good.txt"));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("hello");
    file.close();
    Prompts.AnswerFile(good);
    Dialog.Button(EncodeDialog::FileButtonId)->click();
    const QString size = Dialog.ControlText(EncodeDialog::DataSizeId);
    EXPECT_NE(size, QStringLiteral("Data Size : 0"));

    // Gone between the prompt and the read.
    Prompts.AnswerFile(folder.filePath(QStringLiteral("vanished.txt")));
    Dialog.Button(EncodeDialog::FileButtonId)->click();
    ASSERT_EQ(Prompts.Messages.size(), 1u);
    EXPECT_EQ(Prompts.Messages[0].Text, QStringLiteral("Could not read the chosen file."));
    EXPECT_EQ(Prompts.Messages[0].Icon, MessageIcon::Exclamation);
    // The size line keeps its text, but the earlier payload is gone.
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::DataSizeId), size);
    Dialog.Button(IdOk)->click();
    ASSERT_EQ(Prompts.Messages.size(), 2u);
    EXPECT_EQ(Prompts.Messages[1].Text, QStringLiteral("No data to encode."));
    EXPECT_TRUE(Dialog.isVisible());
}

TEST_F(EncodeDialogTest, EscapeEndsTheDialogWithCancelAndHidesThePreview)
{
    test::TestContainer container(40, 30, 0x000000FF, 0x0000FF00);
    EncodeDialog dialog(container.Engine, Prompts);
    test::ModalAction escape([&](QWidget* window) {
        dialog.Button(EncodeDialog::PreviewButtonId)->click();
        EXPECT_TRUE(dialog.Preview()->isVisible());
        test::PressKey(window, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(escape.Done());
    EXPECT_FALSE(dialog.Preview()->isVisible());
    EXPECT_TRUE(Prompts.Messages.empty());
    // The container belongs to the engine and outlives the dialog.
    EXPECT_TRUE(container.Engine.IsUsableContainer());
}

} // namespace
} // namespace lumaquill

namespace lumaquill {
namespace {

QString WriteSmallFile(const QTemporaryDir& folder, const QString& name)
{
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("some bytes to hide");
    return file.fileName();
}

// A file dropped on "A file" is the payload, an image dropped on "Existing
// Image" the container; the lines below the buttons name both, the
// container with its size.
TEST(EncodeDialogDropTest, DropsChooseThePayloadAndTheContainerAndTheLinesNameThem)
{
    test::TestContainer container(80, 60, 0xFF0000, 0x0000FF);
    StegEngine engine;
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(engine, prompts);
    dialog.show();
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenPayloadId), QStringLiteral("Encoding: nothing chosen yet"));
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenContainerId), QStringLiteral("Into: no image chosen yet"));

    const QString payload = WriteSmallFile(container.Folder, QStringLiteral("notes.txt"));
    test::DropFilesOn(dialog.Button(EncodeDialog::FileButtonId), { payload });
    EXPECT_NE(dialog.ControlText(EncodeDialog::DataSizeId), QStringLiteral("Data Size : 0"));
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenPayloadId), QStringLiteral("Encoding: notes.txt"));

    test::DropFilesOn(
        dialog.Button(EncodeDialog::ExistingImageButtonId), { container.Folder.filePath("container1.bmp") });
    EXPECT_TRUE(engine.IsUsableContainer());
    EXPECT_EQ(
        dialog.ControlText(EncodeDialog::ChosenContainerId), QStringLiteral("Into: container1.bmp, 80 x 60 pixels"));
    EXPECT_NE(dialog.ControlText(EncodeDialog::MaxSizeId), QStringLiteral("Max Size : 0"));

    dialog.SetChecked(EncodeDialog::NoiseBoxId, true);
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenContainerId), QStringLiteral("Into: a new pure noise image"));
    dialog.SetChecked(EncodeDialog::NoiseBoxId, false);

    // A file that is no bitmap is named as unusable.
    test::DropFilesOn(dialog.Button(EncodeDialog::ExistingImageButtonId), { payload });
    EXPECT_EQ(
        dialog.ControlText(EncodeDialog::ChosenContainerId), QStringLiteral("Into: notes.txt, which cannot be used"));
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_TRUE(prompts.FileRequests.empty());
}

// Dropped elsewhere on the window, a picture's name makes the file the
// container and any other name the payload.
TEST(EncodeDialogDropTest, DropsOnTheWindowChooseByTheFilesName)
{
    test::TestContainer container(80, 60, 0xFF0000, 0x0000FF);
    StegEngine engine;
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(engine, prompts);
    dialog.show();
    QWidget* elsewhere = dialog.Static(EncodeDialog::FitLineId);
    test::DropFilesOn(elsewhere, { WriteSmallFile(container.Folder, QStringLiteral("notes.txt")) });
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenPayloadId), QStringLiteral("Encoding: notes.txt"));
    test::DropFilesOn(elsewhere, { container.Folder.filePath("container1.bmp") });
    EXPECT_EQ(
        dialog.ControlText(EncodeDialog::ChosenContainerId), QStringLiteral("Into: container1.bmp, 80 x 60 pixels"));
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenPayloadId), QStringLiteral("Encoding: notes.txt"));
    EXPECT_TRUE(prompts.Messages.empty());
}

// Nobody encodes into an image left from an earlier run without seeing it.
TEST(EncodeDialogDropTest, AContainerLeftFromBeforeIsShownWithItsSize)
{
    test::TestContainer container(40, 30, 0xFF0000, 0x0000FF);
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(container.Engine, prompts);
    dialog.show();
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenContainerId),
        QStringLiteral("Into: the image from before, 40 x 30 pixels"));
}

// Typed text is named as such; a long file name is shortened in the middle
// to fit its line and kept whole as the line's tool tip.
TEST(EncodeDialogDropTest, TypedTextAndLongNamesShowInTheirLine)
{
    StegEngine engine;
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(engine, prompts);
    dialog.show();
    test::ModalAction type([](QWidget* window) {
        auto* text = qobject_cast<TemplateDialog*>(window);
        ASSERT_NE(text, nullptr);
        text->SetControlText(1016, QStringLiteral("hello"));
        text->Button(IdOk)->click();
    });
    dialog.Button(EncodeDialog::TypedTextButtonId)->click();
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenPayloadId), QStringLiteral("Encoding: typed text"));

    QTemporaryDir folder;
    const QString name = QString(120, QLatin1Char('n')) + QStringLiteral(".txt");
    test::DropFilesOn(dialog.Button(EncodeDialog::FileButtonId), { WriteSmallFile(folder, name) });
    const QLabel* line = dialog.Static(EncodeDialog::ChosenPayloadId);
    EXPECT_EQ(dialog.ControlText(EncodeDialog::ChosenPayloadId), QStringLiteral("Encoding: ") + name);
    EXPECT_TRUE(line->text().contains(QChar(0x2026)));
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->width());
    EXPECT_EQ(line->toolTip(), QStringLiteral("Encoding: ") + name);
}

} // namespace
} // namespace lumaquill
