#pragma once

// Support for the GUI tests (test_ui, test_app): the test program's main,
// acting on the next modal dialog and scripted prompts. Header-only.
//
//     ScriptedPrompts prompts;
//     prompts.AnswerFile(QStringLiteral("/tmp/x.bmp"));   // next open/save prompt
//     ModalAction closeIt([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
//     button->click();                                    // runs a dialog modally
//     EXPECT_TRUE(closeIt.Done());
//     EXPECT_EQ(prompts.Messages.at(0).Text, QStringLiteral("No image selected."));

#include "ui/qt/UiPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumaquill::test {

// The main of a GUI test program: a headless QApplication (offscreen
// unless QT_QPA_PLATFORM says otherwise) around the GoogleTest run.
inline int RunGuiTests(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

enum class WindowKind { Modal, Popup };

inline QWidget* ActiveWindowOf(WindowKind kind)
{
    return kind == WindowKind::Modal ? QApplication::activeModalWidget() : QApplication::activePopupWidget();
}

// Acts once on the next modal window (or pop-up menu) that opens after this
// object is made (one that was not already the active one), from the event
// loop of that window. Create it before the call that runs the dialog.
// Gives up (and fails the test) when no such window opens within the time
// limit; it never acts after it has been destroyed. Uses a real timer,
// which the progress window's repaints never fire.
//
// The one driver of modal windows in the tests; OnDialog narrows it to a
// dialog by caption.
class ModalAction {
public:
    using Action = std::function<void(QWidget*)>;
    using Match = std::function<bool(QWidget*)>;

    explicit ModalAction(Action action, WindowKind kind = WindowKind::Modal, int limitMs = 10000)
        : ModalAction(std::move(action), nullptr, QStringLiteral("modal window"), kind, limitMs)
    {
    }
    ~ModalAction() { Poll.stop(); }
    ModalAction(const ModalAction&) = delete;
    ModalAction& operator=(const ModalAction&) = delete;

    bool Done() const { return Acted; }
    // The window title of the window acted on.
    QString Title() const { return SeenTitle; }

protected:
    // With a match, acts on the first visible window it accepts, even one
    // already open; after giving up it cancels every modal dialog that
    // comes up, so a flow gone wrong ends instead of hanging.
    ModalAction(Action action, Match match, QString what, WindowKind kind, int limitMs)
        : Kind(kind)
        , Before(ActiveWindowOf(kind))
        , Act(std::move(action))
        , Accepts(std::move(match))
        , What(std::move(what))
        , LimitMs(limitMs)
    {
        Waited.start();
        Poll.setInterval(0);
        QObject::connect(&Poll, &QTimer::timeout, [this] { Check(); });
        Poll.start();
    }

private:
    bool IsTarget(QWidget* window) const
    {
        if (!window || !window->isVisible())
            return false;
        return Accepts ? Accepts(window) : window != Before.data();
    }

    void Check()
    {
        QWidget* window = ActiveWindowOf(Kind);
        if (GaveUp) {
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                dialog->reject();
        } else if (IsTarget(window)) {
            Poll.stop();
            Acted = true;
            SeenTitle = window->windowTitle();
            Act(window);
        } else if (Waited.elapsed() > LimitMs) {
            ADD_FAILURE() << "no " << What.toStdString() << " opened";
            if (Accepts)
                GaveUp = true;
            else
                Poll.stop();
        }
    }

    WindowKind Kind;
    QPointer<QWidget> Before;
    Action Act;
    Match Accepts;
    QString What;
    int LimitMs;
    QElapsedTimer Waited;
    QTimer Poll;
    bool Acted = false;
    bool GaveUp = false;
    QString SeenTitle;
};

// Drags the files (or whatever the data holds) onto the widget and drops
// them there, as the desktop does, then lets the drop's queued work run.
inline void DropOn(QWidget* target, const QMimeData& data)
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QApplication::processEvents();
}

inline void DropFilesOn(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    DropOn(target, data);
}

// Closes the next modal dialog with Cancel (through its reject()).
inline ModalAction::Action RejectDialog()
{
    return [](QWidget* window) {
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
    };
}

struct ShownMessage {
    QString Text;
    MessageIcon Icon;
};

struct FileRequest {
    bool Save;
    FilePromptOptions Options;
};

// UiPrompts that answer without showing a window: message boxes are
// recorded (and answered at once); open and save prompts take their answers
// from a queue (nothing = the user cancels). A prompt with no answer queued
// fails the test and is cancelled.
class ScriptedPrompts : public UiPrompts {
public:
    void AnswerFile(std::optional<QString> path) { FileAnswers.push_back(std::move(path)); }

    void ShowMessage(QWidget*, const QString& text, MessageIcon icon) override
    {
        Messages.push_back({ text, icon });
        if (OnMessage)
            OnMessage(Messages.back());
    }
    // Recorded apart from the messages: every save ends with one.
    void ShowSaved(QWidget*, const QString& text, const QString& path) override { Saved.push_back({ text, path }); }
    std::optional<QString> AskOpenFileName(QWidget*, const FilePromptOptions& options) override
    {
        return Answer(false, options);
    }
    std::optional<QString> AskSaveFileName(QWidget*, const FilePromptOptions& options) override
    {
        return Answer(true, options);
    }

    std::vector<ShownMessage> Messages;
    std::vector<FileRequest> FileRequests;
    std::deque<std::optional<QString>> FileAnswers;
    // The save notices: their text and the saved path.
    std::vector<std::pair<QString, QString>> Saved;
    // Called while each message is "shown".
    std::function<void(const ShownMessage&)> OnMessage;

private:
    std::optional<QString> Answer(bool save, const FilePromptOptions& options)
    {
        FileRequests.push_back({ save, options });
        if (FileAnswers.empty()) {
            ADD_FAILURE() << "unexpected " << (save ? "save" : "open") << " prompt";
            return std::nullopt;
        }
        const bool chosen = FileAnswers.front().has_value();
        const QString path = chosen ? *FileAnswers.front() : QString();
        FileAnswers.pop_front();
        if (!chosen)
            return std::nullopt;
        return path;
    }
};

} // namespace lumaquill::test
