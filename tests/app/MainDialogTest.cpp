#include "app/MainDialog.h"

#include "engine/StegEngine.h"
#include "flows/StegFlows.h"
#include "keys/RuntimeRandom.h"
#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"
#include "ui/dialogs/DecodeDialog.h"
#include "ui/dialogs/EncodeDialog.h"
#include "ui/template/UiResources.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <ctime>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

QString PromoFor(int draw)
{
    return UiResources::String(102 + draw % 9);
}

// The line the next promotional draw shows after seeding with seed.
QString PromoAfterSeed(uint32_t seed)
{
    RuntimeSrand(seed);
    return PromoFor(RuntimeRand());
}

class MainDialogTest : public ::testing::Test {
protected:
    MainDialogTest()
        : Dialog(Flows, Prompts)
    {
    }

    StegEngine Engine;
    StegFlows Flows { Engine };
    test::ScriptedPrompts Prompts;
    MainDialog Dialog;
};

TEST_F(MainDialogTest, HasTheTemplatesCaptionSizeAndControls)
{
    Dialog.show();
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Lumaquill Nex"));
    EXPECT_EQ(Dialog.TemplateId(), 140);
    EXPECT_EQ(Dialog.size(), Dialog.Units().ToPixels(188, 198));
    EXPECT_FALSE(Dialog.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(Dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(Dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(Dialog.windowIcon().isNull());

    struct ButtonCase {
        int Id;
        const char* Name;
        DluRect Rect;
    };
    const ButtonCase buttons[] = {
        { MainDialog::kEncodeButtonId, "Encode", { 7, 79, 84, 50 } },
        { MainDialog::kDecodeButtonId, "Decode", { 97, 79, 84, 50 } },
    };
    for (const ButtonCase& b : buttons) {
        SCOPED_TRACE(b.Name);
        QPushButton* button = Dialog.Button(b.Id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), Dialog.Units().ToPixels(b.Rect));
        EXPECT_TRUE(button->text().isEmpty());
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_EQ(button->iconSize(), QSize(106, 67));
        EXPECT_EQ(button->accessibleName(), QString::fromLatin1(b.Name));
    }
    EXPECT_EQ(Dialog.ControlText(MainDialog::kNoticeId), UiResources::String(111));
    EXPECT_EQ(
        Dialog.Control(MainDialog::kPromoLineId)->geometry(), Dialog.Units().ToPixels(DluRect { 7, 157, 174, 33 }));
}

TEST_F(MainDialogTest, BannerSitsAboveTheButtons)
{
    Dialog.show();
    const QRect banner(Dialog.BannerPosition(), Dialog.BannerSize());
    EXPECT_EQ(banner.size(), QSize(232, 71));
    EXPECT_GE(banner.left(), 0);
    EXPECT_LE(banner.right(), Dialog.width() - 1);
    EXPECT_LT(banner.bottom(), Dialog.Button(MainDialog::kEncodeButtonId)->geometry().top());
}

TEST_F(MainDialogTest, NoticeAndEveryPromotionalLineFitTheirRectangles)
{
    auto fits = [&](int id, const QString& text) {
        QLabel* label = Dialog.Static(id);
        const QRect needed = label->fontMetrics().boundingRect(
            QRect(0, 0, label->width(), 10000), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        EXPECT_LE(needed.height(), label->height()) << text.toStdString();
        EXPECT_LE(needed.width(), label->width()) << text.toStdString();
    };
    fits(MainDialog::kNoticeId, UiResources::String(111));
    for (int id = 102; id <= 110; ++id)
        fits(MainDialog::kPromoLineId, UiResources::String(id));
}

TEST_F(MainDialogTest, StartUpSeedsTheGeneratorFromTheClockThenDrawsThePromotionalLine)
{
    const auto before = static_cast<uint32_t>(std::time(nullptr));
    Dialog.show();
    const auto after = static_cast<uint32_t>(std::time(nullptr));
    const QString shown = Dialog.ControlText(MainDialog::kPromoLineId);
    bool matches = false;
    for (uint32_t seed = before; seed <= after; ++seed)
        matches = matches || shown == PromoAfterSeed(seed);
    EXPECT_TRUE(matches) << shown.toStdString();
}

struct DialogCase {
    const char* Name;
    int ButtonId;
    const char* Caption;
    uint32_t Seed;
};

TEST_F(MainDialogTest, EachEncodeOrDecodeDialogIsFollowedByAFreshPromotionalLine)
{
    Dialog.show();
    const DialogCase cases[] = {
        { "Encode", MainDialog::kEncodeButtonId, "Encode Image", 1 },
        { "Decode", MainDialog::kDecodeButtonId, "Decode", 2 },
        { "EncodeAccepted", MainDialog::kEncodeButtonId, "Encode Image", 77 },
    };
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString expected = PromoAfterSeed(c.Seed);
        RuntimeSrand(c.Seed);
        test::ModalAction close([&](QWidget* window) {
            auto* dialog = qobject_cast<QDialog*>(window);
            ASSERT_NE(dialog, nullptr);
            if (std::string(c.Name) == "EncodeAccepted")
                dialog->done(QDialog::Accepted);
            else
                dialog->reject();
        });
        Dialog.Button(c.ButtonId)->click();
        EXPECT_TRUE(close.Done());
        EXPECT_EQ(close.Title(), QString::fromLatin1(c.Caption));
        EXPECT_EQ(Dialog.ControlText(MainDialog::kPromoLineId), expected);
        // Exactly one draw: the line, and nothing else, took from the generator.
        RuntimeSrand(c.Seed);
        RuntimeRand();
        const uint32_t oneDraw = RuntimeRandState();
        RuntimeSrand(c.Seed);
        test::ModalAction again(test::RejectDialog());
        Dialog.Button(c.ButtonId)->click();
        EXPECT_EQ(RuntimeRandState(), oneDraw);
    }
    // The dialogs are gone once they have returned.
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_TRUE(window == &Dialog || !window->inherits("lumaquill::TemplateDialog") || !window->isVisible());
}

TEST_F(MainDialogTest, WindowMenuEndsWithASeparatorAndTheAboutEntry)
{
    Dialog.show();
    QMenu* menu = Dialog.WindowMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
    EXPECT_EQ(actions.last()->text(), QStringLiteral("&About Lumaquill..."));
    EXPECT_EQ(actions.last()->data().toInt(), MainDialog::kAboutCommand);

    test::ModalAction about(test::RejectDialog());
    actions.last()->trigger();
    EXPECT_TRUE(about.Done());
    EXPECT_EQ(about.Title(), QStringLiteral("About Lumaquill"));
}

TEST_F(MainDialogTest, RightClickShowsTheWindowMenuWhoseAboutEntryOpensTheAboutBox)
{
    Dialog.show();
    QMenu* shown = nullptr;
    test::ModalAction about(test::RejectDialog());
    test::ModalAction choose(
        [&](QWidget* popup) {
            shown = qobject_cast<QMenu*>(popup);
            ASSERT_NE(shown, nullptr);
            shown->setActiveAction(shown->actions().last());
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(shown, &enter);
        },
        test::WindowKind::Popup);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(20, 20), Dialog.mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(&Dialog, &rightClick);
    EXPECT_TRUE(choose.Done());
    EXPECT_EQ(shown, Dialog.WindowMenu());
    EXPECT_TRUE(about.Done());
    EXPECT_EQ(about.Title(), QStringLiteral("About Lumaquill"));
}

TEST_F(MainDialogTest, F1OpensTheAboutBox)
{
    Dialog.show();
    test::ModalAction about(test::RejectDialog());
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(Dialog.Button(MainDialog::kEncodeButtonId), &f1);
    EXPECT_TRUE(about.Done());
    EXPECT_EQ(about.Title(), QStringLiteral("About Lumaquill"));
}

// The About entry can be seen: a button on the window opens the box.
TEST_F(MainDialogTest, TheAboutButtonOpensTheAboutBox)
{
    Dialog.show();
    ASSERT_NE(Dialog.Button(MainDialog::kAboutButtonId), nullptr);
    EXPECT_TRUE(Dialog.Button(MainDialog::kAboutButtonId)->isVisible());
    EXPECT_EQ(Dialog.Button(MainDialog::kAboutButtonId)->text(), QStringLiteral("&About..."));
    test::ModalAction about(test::RejectDialog());
    Dialog.Button(MainDialog::kAboutButtonId)->click();
    EXPECT_TRUE(about.Done());
    EXPECT_EQ(about.Title(), QStringLiteral("About Lumaquill"));
}

// Escape pressed in passing keeps the program; Ctrl+Q ends it. The picture
// buttons keep their mnemonics, Alt+E and Alt+D.
TEST_F(MainDialogTest, EscapeKeepsTheWindowCtrlQClosesItAndThePicturesHaveMnemonics)
{
    Dialog.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Dialog.Button(MainDialog::kEncodeButtonId), &escape);
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_EQ(Dialog.Button(MainDialog::kEncodeButtonId)->shortcut().toString(), QStringLiteral("Alt+E"));
    EXPECT_EQ(Dialog.Button(MainDialog::kDecodeButtonId)->shortcut().toString(), QStringLiteral("Alt+D"));
    QKeyEvent quit(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier);
    QApplication::sendEvent(Dialog.Button(MainDialog::kEncodeButtonId), &quit);
    EXPECT_FALSE(Dialog.isVisible());
}

TEST_F(MainDialogTest, SystemCommandsAreMaskedAndOthersIgnored)
{
    Dialog.show();
    test::ModalAction about(test::RejectDialog());
    Dialog.OnSysCommand(MainDialog::kAboutCommand | 0x3);
    EXPECT_TRUE(about.Done());
    Dialog.OnSysCommand(0xF010);
    EXPECT_TRUE(Dialog.isVisible());
}

// A file dropped on Encode opens the encode dialog with it as the payload;
// an image dropped on Decode opens the decode dialog with it chosen.
TEST_F(MainDialogTest, DropsOnTheButtonsOpenTheirDialogWithTheFileChosen)
{
    test::TestContainer container(40, 30, 0x000000FF, 0x0000FF00);
    const QString image = container.Folder.filePath(QStringLiteral("container1.bmp"));
    Dialog.show();
    QString payloadLine;
    QString dataSize;
    test::ModalAction encode([&](QWidget* window) {
        auto* dialog = qobject_cast<EncodeDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        payloadLine = dialog->ControlText(EncodeDialog::kChosenPayloadId);
        dataSize = dialog->ControlText(EncodeDialog::kDataSizeId);
        dialog->reject();
    });
    test::DropFilesOn(Dialog.Button(MainDialog::kEncodeButtonId), { image });
    EXPECT_TRUE(encode.Done());
    EXPECT_EQ(payloadLine, QStringLiteral("Encoding: container1.bmp"));
    EXPECT_NE(dataSize, QStringLiteral("Data Size : 0"));

    QString imageLine;
    test::ModalAction decode([&](QWidget* window) {
        auto* dialog = qobject_cast<DecodeDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        imageLine = dialog->ControlText(DecodeDialog::kChosenImageId);
        dialog->reject();
    });
    test::DropFilesOn(Dialog.Button(MainDialog::kDecodeButtonId), { image });
    EXPECT_TRUE(decode.Done());
    EXPECT_EQ(imageLine, QStringLiteral("Image: container1.bmp, 40 x 30 pixels"));
    EXPECT_EQ(Engine.Width(), 40);
    EXPECT_TRUE(Prompts.Messages.empty());
}

// An unusable drop opens nothing and says why.
TEST_F(MainDialogTest, AnUnusableDropSaysWhyAndOpensNothing)
{
    QTemporaryDir folder;
    Dialog.show();
    test::DropFilesOn(Dialog.Button(MainDialog::kDecodeButtonId), { folder.path() });
    ASSERT_EQ(Prompts.Messages.size(), 1u);
    EXPECT_TRUE(Prompts.Messages[0].Text.endsWith(QStringLiteral("is a folder. Please drop a file.")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace lumaquill
