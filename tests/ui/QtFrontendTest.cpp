#include "ui/qt/QtFrontend.h"

#include "ui/GuiTestSupport.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/qt/BusyCursor.h"
#include "ui/qt/ProgressRelay.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

TEST(QtFrontendTest, ProvidesEveryService)
{
    test::ScriptedPrompts prompts;
    QtFrontend services(prompts);
    const Frontend frontend = services.Services();
    EXPECT_NE(frontend.Messages, nullptr);
    EXPECT_NE(frontend.Busy, nullptr);
    EXPECT_NE(frontend.Progress, nullptr);
    EXPECT_NE(frontend.Save, nullptr);
}

TEST(QtFrontendTest, MessagesGoThroughThePromptsWithTheirIcon)
{
    test::ScriptedPrompts prompts;
    QtFrontend services(prompts);
    services.Services().Messages->ShowMessage("Could not allocate memory for input buffer.", MessageIcon::Exclamation);
    services.Services().Messages->ShowMessage("No data to encode.", MessageIcon::Stop);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("Could not allocate memory for input buffer."));
    EXPECT_EQ(prompts.Messages[0].Icon, MessageIcon::Exclamation);
    EXPECT_EQ(prompts.Messages[1].Icon, MessageIcon::Stop);
}

TEST(QtFrontendTest, SavePromptOffersTheNameShowsEveryFileAndAsksBeforeOverwriting)
{
    test::ScriptedPrompts prompts;
    QtFrontend services(prompts);
    prompts.AnswerFile(QString::fromUtf8("/tmp/d\xc3\xa9j\xc3\xa0/notes.txt"));
    const std::optional<std::string> path = services.Services().Save->AskSavePath("r\xc3\xa9sum\xc3\xa9.txt");
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, "/tmp/d\xc3\xa9j\xc3\xa0/notes.txt");
    ASSERT_EQ(prompts.FileRequests.size(), 1u);
    const test::FileRequest& request = prompts.FileRequests[0];
    EXPECT_TRUE(request.Save);
    EXPECT_EQ(request.Options.InitialName, QString::fromUtf8("r\xc3\xa9sum\xc3\xa9.txt"));
    EXPECT_TRUE(request.Options.Filter.isEmpty());
    EXPECT_TRUE(request.Options.DefaultExtension.isEmpty());
    EXPECT_EQ(request.Options.Flags, FilePromptFlag::HideReadOnly | FilePromptFlag::OverwritePrompt);
}

TEST(QtFrontendTest, DeclinedSavePromptGivesNothing)
{
    test::ScriptedPrompts prompts;
    QtFrontend services(prompts);
    prompts.AnswerFile(std::nullopt);
    EXPECT_FALSE(services.Services().Save->AskSavePath("a.txt").has_value());
}

TEST(QtFrontendTest, BusyIndicatorNests)
{
    test::ScriptedPrompts prompts;
    QtFrontend services(prompts);
    BusyIndicator* busy = services.Services().Busy;
    EXPECT_FALSE(BusyCursor::Active());
    {
        BusyScope outer(busy);
        {
            BusyScope inner(busy);
            EXPECT_TRUE(BusyCursor::Active());
        }
        EXPECT_TRUE(BusyCursor::Active());
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtFrontendTest, ProgressIsAHiddenProgressWindow)
{
    test::ScriptedPrompts prompts;
    QtFrontend services(prompts);
    std::unique_ptr<ProgressSink> progress = services.Services().Progress->CreateProgress();
    auto* relay = dynamic_cast<ProgressRelay*>(progress.get());
    ASSERT_NE(relay, nullptr);
    EXPECT_FALSE(relay->Window().isVisible());
    EXPECT_EQ(relay->Window().Button(kIdCancel), nullptr);
    EXPECT_FALSE(relay->CancelRequested());
}

TEST(UiPromptsTest, CaptionIsTheProgramFilesBaseNameCapitalised)
{
    EXPECT_EQ(UiPrompts::AppName(), QStringLiteral("Test_ui"));
}

} // namespace
} // namespace lumaquill
