#include "ui/dialogs/EncodeDialog.h"

#include "core/MessageText.h"
#include "engine/StegEngine.h"
#include "flows/StealthFlow.h"
#include "flows/StealthMessages.h"
#include "flows/StegFlows.h"
#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"
#include "ui/dialogs/PreviewDialog.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <random>

namespace lumaquill {
namespace {

const FilePromptFlags kOpenFlags
    = FilePromptFlag::HideReadOnly | FilePromptFlag::PathMustExist | FilePromptFlag::FileMustExist;

class EncodeDialogTest : public ::testing::Test {
protected:
    EncodeDialogTest()
        : Dialog(Flows, Prompts)
    {
        Dialog.show();
    }

    StegEngine Engine;
    StegFlows Flows { Engine };
    test::ScriptedPrompts Prompts;
    EncodeDialog Dialog;
};

TEST_F(EncodeDialogTest, HasItsTemplateControlsAndNoCancelButton)
{
    EXPECT_EQ(Dialog.TemplateId(), 144);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Encode Image"));
    // Lines below the classic layout show what is chosen, whether it fits,
    // and the stealth box with its sizes.
    EXPECT_EQ(Dialog.size(), Dialog.Units().ToPixels(188, 276));
    test::ExpectControls(Dialog,
        {
            { 1045, "QLabel", "What would you like to encode?", { 8, 65, 103, 8 } },
            { 1052, "QPushButton", "A file", { 7, 75, 79, 14 } },
            { 1019, "QPushButton", "Typed Text", { 102, 75, 79, 14 } },
            { 1051, "QLabel", "What would you like to encode this into?", { 8, 97, 129, 8 } },
            { 1053, "QPushButton", "Existing Image", { 8, 107, 79, 14 } },
            { 1058, "QCheckBox", "or  Pure Noise Image", { 99, 109, 82, 10 } },
            { 1000, "QPushButton", "Preview", { 8, 123, 79, 14 } },
            { kIdOk, "QPushButton", "Ok", { 97, 141, 84, 50 } },
            { 1057, "QCheckBox", "Shrink to fit?", { 7, 144, 55, 10 } },
            { 1055, "QLabel", "Data Size : 0", { 7, 169, 71, 8 } },
            { 1056, "QLabel", "Max Size : 0", { 7, 181, 85, 8 } },
            { 1070, "QLabel", "Encoding: nothing chosen yet", { 7, 195, 174, 10 } },
            { 1071, "QLabel", "Into: no image chosen yet", { 7, 205, 174, 10 } },
            { 1072, "QLabel", "", { 7, 217, 174, 24 } },
            { 1073, "QCheckBox", "Hide from detectors (stealth)", { 7, 243, 174, 10 } },
            { 1074, "QLabel", "", { 7, 255, 174, 16 } },
        });
    EXPECT_EQ(Dialog.Control(kIdCancel), nullptr);
    EXPECT_FALSE(Dialog.Button(kIdOk)->icon().isNull());
    EXPECT_EQ(Dialog.Button(kIdOk)->iconSize(), QSize(106, 67));
    EXPECT_EQ(Dialog.CheckBox(EncodeDialog::kNoiseBoxId)->layoutDirection(), Qt::RightToLeft);
    EXPECT_FALSE(Dialog.IsChecked(EncodeDialog::kNoiseBoxId));
    EXPECT_FALSE(Dialog.IsChecked(EncodeDialog::kShrinkBoxId));
    EXPECT_EQ(Dialog.BannerSize(), QSize(232, 71));
}

// Enter with a check box focused is Ok, not the first push button that
// once had the focus.
TEST_F(EncodeDialogTest, EnterOnACheckBoxIsOk)
{
    QApplication::setActiveWindow(&Dialog);
    Dialog.Control(EncodeDialog::kFileButtonId)->setFocus();
    Dialog.Control(EncodeDialog::kShrinkBoxId)->setFocus();
    test::PressKey(Dialog.Control(EncodeDialog::kShrinkBoxId), Qt::Key_Return);
    EXPECT_TRUE(Prompts.FileRequests.empty());
    ASSERT_EQ(Prompts.Messages.size(), 1u);
    EXPECT_EQ(Prompts.Messages[0].Text, QStringLiteral("No data to encode."));
    EXPECT_FALSE(Dialog.IsChecked(EncodeDialog::kShrinkBoxId));
}

// Every button and box has its mnemonic (the picture button keeps Alt+O),
// and the Tab order follows a user's choices: Shrink before Ok.
TEST_F(EncodeDialogTest, MnemonicsEverywhereAndShrinkComesBeforeOkInTheTabOrder)
{
    const std::pair<int, const char*> marked[] = {
        { EncodeDialog::kFileButtonId, "&A file" },
        { EncodeDialog::kTypedTextButtonId, "&Typed Text" },
        { EncodeDialog::kExistingImageButtonId, "&Existing Image" },
        { EncodeDialog::kPreviewButtonId, "&Preview" },
    };
    for (const auto& [id, text] : marked)
        EXPECT_EQ(Dialog.Button(id)->text(), QString::fromLatin1(text));
    EXPECT_EQ(Dialog.CheckBox(EncodeDialog::kNoiseBoxId)->text(), QStringLiteral("or  Pure &Noise Image"));
    EXPECT_EQ(Dialog.CheckBox(EncodeDialog::kShrinkBoxId)->text(), QStringLiteral("&Shrink to fit?"));
    EXPECT_EQ(Dialog.Button(kIdOk)->shortcut().toString(), QStringLiteral("Alt+O"));

    QStringList order;
    QWidget* widget = Dialog.Control(EncodeDialog::kPreviewButtonId);
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != Dialog.Control(EncodeDialog::kPreviewButtonId) && order.size() < 4);
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
    Dialog.Button(EncodeDialog::kFileButtonId)->setFocus();
    Prompts.AnswerFile(file.fileName());
    test::PressKey(Dialog.Button(EncodeDialog::kFileButtonId), Qt::Key_Return);
    ASSERT_EQ(Prompts.FileRequests.size(), 1u);
    EXPECT_EQ(Dialog.focusWidget(), Dialog.Control(EncodeDialog::kExistingImageButtonId));
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
    Dialog.Button(EncodeDialog::kFileButtonId)->click();
    Dialog.Button(EncodeDialog::kExistingImageButtonId)->click();
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
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::kDataSizeId), QStringLiteral("Data Size : 0"));
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::kMaxSizeId), QStringLiteral("Max Size : 0"));
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
    Dialog.Button(EncodeDialog::kFileButtonId)->click();
    const QString size = Dialog.ControlText(EncodeDialog::kDataSizeId);
    EXPECT_NE(size, QStringLiteral("Data Size : 0"));

    // Gone between the prompt and the read.
    Prompts.AnswerFile(folder.filePath(QStringLiteral("vanished.txt")));
    Dialog.Button(EncodeDialog::kFileButtonId)->click();
    ASSERT_EQ(Prompts.Messages.size(), 1u);
    EXPECT_EQ(Prompts.Messages[0].Text, QStringLiteral("Could not read the chosen file."));
    EXPECT_EQ(Prompts.Messages[0].Icon, MessageIcon::Exclamation);
    // The size line keeps its text, but the earlier payload is gone.
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::kDataSizeId), size);
    Dialog.Button(kIdOk)->click();
    ASSERT_EQ(Prompts.Messages.size(), 2u);
    EXPECT_EQ(Prompts.Messages[1].Text, QStringLiteral("No data to encode."));
    EXPECT_TRUE(Dialog.isVisible());
}

TEST_F(EncodeDialogTest, EscapeEndsTheDialogWithCancelAndHidesThePreview)
{
    test::TestContainer container(40, 30, 0x000000FF, 0x0000FF00);
    EncodeDialog dialog(container.Flows, Prompts);
    test::ModalAction escape([&](QWidget* window) {
        dialog.Button(EncodeDialog::kPreviewButtonId)->click();
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
    StegFlows flows(engine);
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(flows, prompts);
    dialog.show();
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenPayloadId), QStringLiteral("Encoding: nothing chosen yet"));
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenContainerId), QStringLiteral("Into: no image chosen yet"));

    const QString payload = WriteSmallFile(container.Folder, QStringLiteral("notes.txt"));
    test::DropFilesOn(dialog.Button(EncodeDialog::kFileButtonId), { payload });
    EXPECT_NE(dialog.ControlText(EncodeDialog::kDataSizeId), QStringLiteral("Data Size : 0"));
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenPayloadId), QStringLiteral("Encoding: notes.txt"));

    test::DropFilesOn(
        dialog.Button(EncodeDialog::kExistingImageButtonId), { container.Folder.filePath("container1.bmp") });
    EXPECT_TRUE(engine.IsUsableContainer());
    EXPECT_EQ(
        dialog.ControlText(EncodeDialog::kChosenContainerId), QStringLiteral("Into: container1.bmp, 80 x 60 pixels"));
    EXPECT_NE(dialog.ControlText(EncodeDialog::kMaxSizeId), QStringLiteral("Max Size : 0"));

    dialog.SetChecked(EncodeDialog::kNoiseBoxId, true);
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenContainerId), QStringLiteral("Into: a new pure noise image"));
    dialog.SetChecked(EncodeDialog::kNoiseBoxId, false);

    // A file that is no bitmap is named as unusable.
    test::DropFilesOn(dialog.Button(EncodeDialog::kExistingImageButtonId), { payload });
    EXPECT_EQ(
        dialog.ControlText(EncodeDialog::kChosenContainerId), QStringLiteral("Into: notes.txt, which cannot be used"));
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_TRUE(prompts.FileRequests.empty());
}

// Dropped elsewhere on the window, a picture's name makes the file the
// container and any other name the payload.
TEST(EncodeDialogDropTest, DropsOnTheWindowChooseByTheFilesName)
{
    test::TestContainer container(80, 60, 0xFF0000, 0x0000FF);
    StegEngine engine;
    StegFlows flows(engine);
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(flows, prompts);
    dialog.show();
    QWidget* elsewhere = dialog.Static(EncodeDialog::kFitLineId);
    test::DropFilesOn(elsewhere, { WriteSmallFile(container.Folder, QStringLiteral("notes.txt")) });
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenPayloadId), QStringLiteral("Encoding: notes.txt"));
    test::DropFilesOn(elsewhere, { container.Folder.filePath("container1.bmp") });
    EXPECT_EQ(
        dialog.ControlText(EncodeDialog::kChosenContainerId), QStringLiteral("Into: container1.bmp, 80 x 60 pixels"));
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenPayloadId), QStringLiteral("Encoding: notes.txt"));
    EXPECT_TRUE(prompts.Messages.empty());
}

// Nobody encodes into an image left from an earlier run without seeing it.
TEST(EncodeDialogDropTest, AContainerLeftFromBeforeIsShownWithItsSize)
{
    test::TestContainer container(40, 30, 0xFF0000, 0x0000FF);
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(container.Flows, prompts);
    dialog.show();
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenContainerId),
        QStringLiteral("Into: the image from before, 40 x 30 pixels"));
}

// Typed text is named as such; a long file name is shortened in the middle
// to fit its line and kept whole as the line's tool tip.
TEST(EncodeDialogDropTest, TypedTextAndLongNamesShowInTheirLine)
{
    StegEngine engine;
    StegFlows flows(engine);
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(flows, prompts);
    dialog.show();
    test::ModalAction type([](QWidget* window) {
        auto* text = qobject_cast<TemplateDialog*>(window);
        ASSERT_NE(text, nullptr);
        text->SetControlText(1016, QStringLiteral("hello"));
        text->Button(kIdOk)->click();
    });
    dialog.Button(EncodeDialog::kTypedTextButtonId)->click();
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenPayloadId), QStringLiteral("Encoding: typed text"));

    QTemporaryDir folder;
    const QString name = QString(120, QLatin1Char('n')) + QStringLiteral(".txt");
    test::DropFilesOn(dialog.Button(EncodeDialog::kFileButtonId), { WriteSmallFile(folder, name) });
    const QLabel* line = dialog.Static(EncodeDialog::kChosenPayloadId);
    EXPECT_EQ(dialog.ControlText(EncodeDialog::kChosenPayloadId), QStringLiteral("Encoding: ") + name);
    EXPECT_TRUE(line->text().contains(QChar(0x2026)));
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->width());
    EXPECT_EQ(line->toolTip(), QStringLiteral("Encoding: ") + name);
}

} // namespace
} // namespace lumaquill

namespace lumaquill {
namespace {

const QString kStealthFigures = QStringLiteral("Safe Size : %1   Largest Size : %2");

QString StealthFiguresOf(const StegEngine& engine)
{
    const stealth::StealthSizes sizes = StealthSizesOf(engine);
    return kStealthFigures.arg(sizes.Safe).arg(sizes.Largest);
}

// Bytes that zlib cannot shrink, so the payload's size is known in advance.
QString WriteRandomFile(const QTemporaryDir& folder, const QString& name, size_t length)
{
    std::mt19937 generator(7);
    QByteArray bytes(qsizetype(length), '\0');
    for (char& byte : bytes)
        byte = char(generator() & 0xFF);
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

uint64_t ShownNumber(const QString& line)
{
    return line.mid(line.lastIndexOf(QLatin1Char(' ')) + 1).toULongLong();
}

// A colour picture (two halves of different colours) chosen as the container.
class EncodeDialogStealthTest : public ::testing::Test {
protected:
    EncodeDialogStealthTest()
        : Container(300, 200, 0xC03020, 0x2040A0)
        , Dialog(Container.Flows, Prompts)
    {
        Dialog.show();
        Dialog.ChooseContainerFile(Container.Folder.filePath(QStringLiteral("container1.bmp")));
        Sizes = StealthSizesOf(Container.Engine);
    }

    test::TestContainer Container;
    test::ScriptedPrompts Prompts;
    EncodeDialog Dialog;
    stealth::StealthSizes Sizes;
};

// A stealth image needs a photo at its full size: the box unticks and
// disables noise and shrink, and Max Size shows the largest stealth size
// with both sizes on the line below the box; unticked, all comes back.
TEST_F(EncodeDialogStealthTest, TheBoxTurnsNoiseAndShrinkOffAndShowsBothSizes)
{
    ASSERT_GT(Sizes.Safe, 0u);
    ASSERT_GT(Sizes.Largest, Sizes.Safe);
    const QString classicMax = Dialog.ControlText(EncodeDialog::kMaxSizeId);
    Dialog.SetChecked(EncodeDialog::kNoiseBoxId, true);
    Dialog.SetChecked(EncodeDialog::kShrinkBoxId, true);
    EXPECT_TRUE(Dialog.ControlText(EncodeDialog::kStealthLineId).isEmpty());

    Dialog.SetChecked(EncodeDialog::kStealthBoxId, true);
    for (const int id : { EncodeDialog::kNoiseBoxId, EncodeDialog::kShrinkBoxId }) {
        EXPECT_FALSE(Dialog.IsChecked(id)) << id;
        EXPECT_FALSE(Dialog.Control(id)->isEnabled()) << id;
    }
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::kMaxSizeId), QStringLiteral("Max Size : %1").arg(Sizes.Largest));
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::kStealthLineId), kStealthFigures.arg(Sizes.Safe).arg(Sizes.Largest));
    EXPECT_EQ(
        Dialog.ControlText(EncodeDialog::kChosenContainerId), QStringLiteral("Into: container1.bmp, 300 x 200 pixels"));
    EXPECT_TRUE(Prompts.Messages.empty());

    Dialog.SetChecked(EncodeDialog::kStealthBoxId, false);
    for (const int id : { EncodeDialog::kNoiseBoxId, EncodeDialog::kShrinkBoxId }) {
        EXPECT_FALSE(Dialog.IsChecked(id)) << id;
        EXPECT_TRUE(Dialog.Control(id)->isEnabled()) << id;
    }
    EXPECT_EQ(Dialog.ControlText(EncodeDialog::kMaxSizeId), classicMax);
    EXPECT_TRUE(Dialog.ControlText(EncodeDialog::kStealthLineId).isEmpty());
}

struct PayloadCase {
    const char* Name;
    // The payload file's length from the safe and largest sizes.
    size_t (*Length)(const stealth::StealthSizes&);
    // The stealth line's second line; empty when it has none.
    const char* Meaning;
    bool Refused;
};

// The size compared is the payload with its stored name, shown as the data
// size. Above the safe size the line warns and Ok goes on to the password
// (the run gives the full warning, once); above the largest Ok refuses with
// both sizes before the password is asked for.
TEST_F(EncodeDialogStealthTest, PayloadsAboveTheSafeSizeAreWarnedOfAndAboveTheLargestRefused)
{
    const PayloadCase cases[] = {
        { "within the safe size", [](const stealth::StealthSizes& s) { return size_t(s.Safe / 2); }, "", false },
        { "above the safe size", [](const stealth::StealthSizes& s) { return size_t((s.Safe + s.Largest) / 2); },
            "Warning: above the safe size, so detectable.", false },
        { "above the largest size", [](const stealth::StealthSizes& s) { return size_t(s.Largest + 100); },
            "Too large: above the largest size.", true },
    };
    for (const PayloadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::ScriptedPrompts prompts;
        EncodeDialog dialog(Container.Flows, prompts);
        dialog.show();
        dialog.SetChecked(EncodeDialog::kStealthBoxId, true);
        dialog.ChoosePayloadFile(WriteRandomFile(Container.Folder, QStringLiteral("payload.bin"), c.Length(Sizes)));
        const uint64_t shown = ShownNumber(dialog.ControlText(EncodeDialog::kDataSizeId));
        // The stream of incompressible bytes is a little longer than they
        // are, and the stored name "payload.bin" counts too.
        EXPECT_GT(shown, c.Length(Sizes) + 11);
        QString line = StealthFiguresOf(Container.Engine);
        if (*c.Meaning != '\0')
            line += QLatin1Char('\n') + QString::fromUtf8(c.Meaning);
        EXPECT_EQ(dialog.ControlText(EncodeDialog::kStealthLineId), line);

        std::optional<test::ModalAction> password;
        if (!c.Refused)
            password.emplace(test::RejectDialog());
        dialog.Button(kIdOk)->click();
        if (c.Refused) {
            ASSERT_EQ(prompts.Messages.size(), 1u);
            EXPECT_EQ(prompts.Messages[0].Text, QString::fromStdString(StealthTooLarge(shown, Sizes)));
            EXPECT_EQ(prompts.Messages[0].Icon, MessageIcon::Stop);
            EXPECT_TRUE(dialog.isVisible());
        } else {
            EXPECT_TRUE(password->Done());
            EXPECT_EQ(password->Title(), QStringLiteral("Password"));
            EXPECT_TRUE(prompts.Messages.empty());
        }
    }
}

struct CoverCase {
    const char* Name;
    // A fixture's name, or empty for a grey bitmap.
    const char* Fixture;
    bool TickedFirst;
    std::string Refusal;
};

// A picture that cannot carry a stealth image is named with why and what to
// do as soon as it meets the ticked box, whichever comes first; Ok then
// refuses it before the password step.
// A JPEG cover is judged as a stealth JPEG's (the fixture is too small for
// one); any other lossy cover is refused as lossy.
TEST(EncodeDialogStealthCoverTest, ALossyOrGreyCoverIsRefusedAsSoonAsItMeetsTheBox)
{
    const std::string lossy = StealthMessages::LossyCover("WebP");
    const CoverCase cases[] = {
        { "lossy cover chosen with the box ticked", "lossy.webp", true, lossy },
        { "box ticked with a lossy cover chosen", "lossy.webp", false, lossy },
        { "small JPEG chosen with the box ticked", "cover.jpg", true, message::kStealthJpegUnsuitable },
        { "box ticked with a small JPEG chosen", "cover.jpg", false, message::kStealthJpegUnsuitable },
        { "grey cover chosen with the box ticked", "", true, message::kStealthGreyCover },
    };
    for (const CoverCase& c : cases) {
        SCOPED_TRACE(c.Name);
        test::TestContainer grey(64, 64, 0x808080, 0x303030);
        const QString cover = *c.Fixture != '\0'
            ? QStringLiteral(LUMAQUILL_FIXTURES "/%1").arg(QString::fromUtf8(c.Fixture))
            : grey.Folder.filePath(QStringLiteral("container1.bmp"));
        StegEngine engine;
        StegFlows flows(engine);
        test::ScriptedPrompts prompts;
        EncodeDialog dialog(flows, prompts);
        dialog.show();
        dialog.SetChecked(EncodeDialog::kStealthBoxId, c.TickedFirst);
        dialog.ChooseContainerFile(cover);
        dialog.SetChecked(EncodeDialog::kStealthBoxId, true);
        ASSERT_TRUE(engine.IsUsableContainer());
        const QString refusal = QString::fromStdString(c.Refusal);
        ASSERT_EQ(prompts.Messages.size(), 1u);
        EXPECT_EQ(prompts.Messages[0].Text, refusal);
        EXPECT_EQ(prompts.Messages[0].Icon, MessageIcon::Exclamation);
        EXPECT_TRUE(dialog.ControlText(EncodeDialog::kStealthLineId)
                        .endsWith(QStringLiteral("\nThis picture cannot carry a stealth image.")));

        dialog.ChoosePayloadFile(WriteRandomFile(grey.Folder, QStringLiteral("payload.bin"), 10));
        dialog.Button(kIdOk)->click();
        ASSERT_EQ(prompts.Messages.size(), 2u);
        EXPECT_EQ(prompts.Messages[1].Text, refusal);
        EXPECT_EQ(prompts.Messages[1].Icon, MessageIcon::Stop);
        EXPECT_TRUE(dialog.isVisible());
    }
}

} // namespace
} // namespace lumaquill
