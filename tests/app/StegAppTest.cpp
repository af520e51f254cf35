#include "app/StegApp.h"

#include "ui/GuiTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

TEST(StegAppTest, ClosingTheMainWindowEndsTheStartUp)
{
    const std::pair<const char*, test::ModalAction::Action> cases[] = {
        { "CloseBox", [](QWidget* window) { window->close(); } },
        { "Escape",
            [](QWidget* window) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(window, &escape);
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

} // namespace
} // namespace lumaquill
