#include "app/StegApp.h"

#include "app/EndToEndSupport.h"
#include "image/SaveBmp24.h"
#include "ui/GuiTestSupport.h"
#include "ui/dialogs/DecodeDialog.h"
#include "ui/template/UiResources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

TEST(StegAppTest, ClosingTheMainWindowEndsTheStartUp)
{
    const std::pair<const char*, test::ModalAction::Action> cases[] = {
        { "CloseBox", [](QWidget* window) { window->close(); } },
        { "Ctrl+Q",
            [](QWidget* window) {
                QKeyEvent quit(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier);
                QApplication::sendEvent(window, &quit);
            } },
    };
    for (const auto& [name, close] : cases) {
        SCOPED_TRACE(name);
        test::ScriptedPrompts prompts;
        StegApp app(prompts);
        test::ModalAction closing(close);
        EXPECT_EQ(app.Run(), 0);
        EXPECT_TRUE(closing.Done());
        EXPECT_EQ(closing.Title(), QStringLiteral("Lumaquill Nex"));
        for (QWidget* window : QApplication::topLevelWidgets())
            EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
    }
}

// "Open with Lumaquill": a picture given on the command line opens the
// decode dialog with it chosen.
TEST(StegAppTest, APictureGivenOpensTheDecodeDialogWithItChosen)
{
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("given.bmp"));
    ASSERT_NE(SaveBmp24(QFile::encodeName(picture).toStdString(), 30, 20, std::vector<uint8_t>(92 * 20, 0x40)), 0u);
    test::ScriptedPrompts prompts;
    StegApp app(prompts);
    QString chosen;
    test::OnDialog decode(QStringLiteral("Decode"), [&](TemplateDialog& dialog) {
        QApplication::processEvents();
        chosen = dialog.ControlText(DecodeDialog::kChosenImageId);
        dialog.reject();
        // Then the main window, which the decode dialog was over.
        QMetaObject::invokeMethod(
            qApp, [] { QApplication::activeModalWidget()->close(); }, Qt::QueuedConnection);
    });
    EXPECT_EQ(app.Run(picture), 0);
    EXPECT_TRUE(decode.Done());
    EXPECT_EQ(chosen, QStringLiteral("Image: given.bmp, 30 x 20 pixels"));
    EXPECT_EQ(app.Engine().Width(), 30);
}

TEST(StegAppTest, EngineReportsThroughTheQtFrontEnd)
{
    test::ScriptedPrompts prompts;
    StegApp app(prompts);
    const Frontend& frontend = app.Engine().GetFrontend();
    ASSERT_NE(frontend.Messages, nullptr);
    EXPECT_NE(frontend.Busy, nullptr);
    EXPECT_NE(frontend.Progress, nullptr);
    EXPECT_NE(frontend.Save, nullptr);
    frontend.Messages->ShowMessage("No container image selected.", MessageIcon::Stop);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("No container image selected."));
}

TEST(StegAppTest, NamesItselfAfterItsMenuEntry)
{
    test::ScriptedPrompts prompts;
    StegApp app(prompts);
    test::ModalAction closing([](QWidget* window) { window->close(); });
    app.Run();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("io.github.lumaquill.Lumaquill"));
    EXPECT_EQ(UiResources::ApplicationId(), QGuiApplication::desktopFileName());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
}

// The window icon comes from the desktop's icon theme when the icon is
// installed there, and from the program itself when it is not.
TEST(StegAppTest, WindowIconPrefersTheInstalledThemeIcon)
{
    const QStringList oldPaths = QIcon::themeSearchPaths();
    const QString oldTheme = QIcon::themeName();
    QTemporaryDir themes;
    ASSERT_TRUE(themes.isValid());
    const QString apps = themes.filePath(QStringLiteral("hicolor/32x32/apps"));
    ASSERT_TRUE(QDir().mkpath(apps));
    QFile index(themes.filePath(QStringLiteral("hicolor/index.theme")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=Hicolor\nDirectories=32x32/apps\n\n"
                "[32x32/apps]\nSize=32\nContext=Applications\nType=Fixed\n");
    index.close();

    QIcon::setThemeSearchPaths({ themes.path() });
    QIcon::setThemeName(QStringLiteral("hicolor"));
    const QIcon fallback = UiResources::AppIcon();
    EXPECT_FALSE(fallback.isNull());
    EXPECT_TRUE(fallback.name().isEmpty());

    ASSERT_TRUE(UiResources::EmbeddedAppIcon().pixmap(32, 32).save(apps + "/" + UiResources::ApplicationId() + ".png"));
    QIcon::setThemeSearchPaths({ themes.path() });
    const QIcon themed = UiResources::AppIcon();
    EXPECT_EQ(themed.name(), UiResources::ApplicationId());

    QIcon::setThemeSearchPaths(oldPaths);
    QIcon::setThemeName(oldTheme);
}

} // namespace
} // namespace lumaquill
