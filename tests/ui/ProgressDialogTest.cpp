#include "ui/dialogs/ProgressDialog.h"

#include "ui/GuiTestSupport.h"
#include "ui/dialogs/ProgressCaption.h"
#include "ui/template/StepProgressBar.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

// What the screen shows of the window: the offscreen platform hands back
// the window's backing store, i.e. only what has actually been painted.
QImage OnScreen(ProgressDialog& dialog)
{
    return dialog.screen()->grabWindow(dialog.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Rendered(ProgressDialog& dialog)
{
    return dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(ProgressDialogTest, IsACaptionlessWindowAboveOthersWithTextAndBarOnly)
{
    ProgressDialog dialog;
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dialog.findChildren<QPushButton*>().isEmpty());
    EXPECT_EQ(dialog.ControlText(ProgressDialog::kTextId), QStringLiteral("Some Progress"));
    EXPECT_EQ(dialog.size(), dialog.Units().ToPixels(240, 46));
    EXPECT_EQ(dialog.Control(ProgressDialog::kBarId)->geometry(), dialog.Units().ToPixels(DluRect { 7, 21, 226, 18 }));
    EXPECT_FALSE(dialog.isVisible());
}

TEST(ProgressDialogTest, ShowsEveryTextAndBarPositionWhileTheRunBlocks)
{
    ProgressDialog dialog;
    dialog.Show();
    ASSERT_TRUE(dialog.isVisible());
    ASSERT_TRUE(dialog.windowHandle()->isExposed());
    EXPECT_EQ(ProgressDialog::Shown(), &dialog);

    // A caller processing n units, never returning to the event loop.
    const uint32_t n = 4500;
    dialog.SetText("Encoding Data");
    dialog.SetRange(n / 1000 + 1);
    dialog.SetStep(1);
    dialog.SetPos(0);
    EXPECT_EQ(OnScreen(dialog), Rendered(dialog));
    int steps = 0;
    for (uint32_t unit = 0; unit < n; ++unit) {
        if (unit % 1000 != 0)
            continue;
        char caption[64];
        std::snprintf(caption, sizeof caption, "Encoding Data. (%u of %u bytes)", unit, n);
        // The screen is read before the widget is rendered afresh for the
        // comparison, so it shows only what the progress window painted.
        const QImage before = OnScreen(dialog);
        dialog.SetText(caption);
        const QImage withText = OnScreen(dialog);
        EXPECT_NE(withText, before) << "text of step " << steps << " not painted";
        EXPECT_EQ(withText, Rendered(dialog)) << "screen lags behind the text of step " << steps;
        EXPECT_EQ(dialog.ControlText(ProgressDialog::kTextId), ProgressCaption::ForUser(caption));
        dialog.StepIt();
        ++steps;
        const QImage withBar = OnScreen(dialog);
        EXPECT_NE(withBar, withText) << "bar of step " << steps << " not painted";
        EXPECT_EQ(withBar, Rendered(dialog)) << "screen lags behind the bar of step " << steps;
        EXPECT_EQ(dialog.Progress(ProgressDialog::kBarId)->value(), steps);
    }
    EXPECT_EQ(steps, 5);
    dialog.Hide();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ProgressDialog::Shown(), nullptr);
}

TEST(ProgressCaptionTest, SpeaksTheUsersWordsWithThePercentageDone)
{
    const std::pair<const char*, QString> cases[] = {
        { "Initializing", QStringLiteral("Getting ready\u2026") },
        { "Mangling Password", QStringLiteral("Strengthening the password\u2026") },
        { "Mangling Password. (320000 of 1000000 passes)", QStringLiteral("Strengthening the password: 32% \u2026") },
        { "Encoding Data. (0 of 4500 bytes)", QStringLiteral("Hiding the data: 0% \u2026") },
        { "Encoding Complete", QStringLiteral("Hiding the data: done") },
        { "Decoding Data", QStringLiteral("Reading the hidden data\u2026") },
        { "Decompressing Data", QStringLiteral("Unpacking the hidden data\u2026") },
        // Malformed counts lose only the percentage.
        { "Encoding Data. (9 of 0 bytes)", QStringLiteral("Hiding the data\u2026") },
        { "Some Progress", QStringLiteral("Some Progress") },
    };
    for (const auto& [engine, user] : cases)
        EXPECT_EQ(ProgressCaption::ForUser(engine), user) << engine;
}

TEST(ProgressDialogTest, RepaintsDoNotRunTimersOrOtherProgramLogic)
{
    ProgressDialog dialog;
    bool fired = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] { fired = true; });
    timer.start();
    dialog.Show();
    for (int i = 0; i < 20; ++i) {
        dialog.SetText("Mangling Password");
        dialog.StepIt();
    }
    EXPECT_FALSE(fired);
    dialog.Hide();
}

TEST(ProgressDialogTest, EscapeAndCloseRequestsDoNotEndIt)
{
    ProgressDialog dialog;
    dialog.Show();
    dialog.reject();
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    dialog.Hide();
}

// The Cancel button, a close request and Escape each ask once: the window
// stays up until its run ends, with the button disabled.
TEST(ProgressDialogTest, ACancellableWindowAsksOnceThroughButtonCloseOrEscape)
{
    const std::function<void(ProgressDialog&)> requests[] = {
        [](ProgressDialog& dialog) { dialog.Button(kIdCancel)->click(); },
        [](ProgressDialog& dialog) { dialog.close(); },
        [](ProgressDialog& dialog) { dialog.reject(); },
    };
    for (size_t i = 0; i < std::size(requests); ++i) {
        QWidget owner;
        int asked = 0;
        ProgressDialog dialog(&owner, [&] { ++asked; });
        EXPECT_EQ(dialog.parentWidget(), &owner);
        EXPECT_TRUE(dialog.isWindow());
        EXPECT_EQ(dialog.Button(kIdCancel)->text(), QStringLiteral("&Cancel"));
        dialog.Show();
        requests[i](dialog);
        requests[i](dialog);
        EXPECT_EQ(asked, 1) << "request " << i;
        EXPECT_TRUE(dialog.isVisible()) << "request " << i;
        EXPECT_FALSE(dialog.Button(kIdCancel)->isEnabled()) << "request " << i;
        dialog.Hide();
    }
}

} // namespace
} // namespace lumaquill
