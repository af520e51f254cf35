#pragma once

#include "core/MessageSink.h"
#include "ui/qt/FilePromptOptions.h"

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace lumaquill {

// Every message box and file prompt of the program goes through here, so
// that tests can answer them without showing a window (ScriptedPrompts in
// tests/ui/GuiTestSupport.h overrides the three virtual functions).
//
// Message boxes are modal with one OK button; the stop icon shows as
// QMessageBox::Critical, the exclamation icon as QMessageBox::Warning, and
// the caption is AppName(). A null parent means the active modal window
// (or the active window).
class UiPrompts {
public:
    virtual ~UiPrompts() = default;

    virtual void ShowMessage(QWidget* parent, const QString& text, MessageIcon icon);
    // The chosen file's full path, or nothing when the user cancels.
    virtual std::optional<QString> AskOpenFileName(QWidget* parent, const FilePromptOptions& options);
    virtual std::optional<QString> AskSaveFileName(QWidget* parent, const FilePromptOptions& options);

    // After a save: says where the file went, with a button that opens its
    // folder in the desktop's file manager.
    virtual void ShowSaved(QWidget* parent, const QString& text, const QString& path);
    // ShowSaved for an encoded picture; the first one of the run also
    // advises how to send it.
    void ShowEncodedSaved(QWidget* parent, const QString& path);

    void Stop(QWidget* parent, const QString& text) { ShowMessage(parent, text, MessageIcon::Stop); }
    void Warn(QWidget* parent, const QString& text) { ShowMessage(parent, text, MessageIcon::Exclamation); }

    // The program file's base name, capitalised as a name: "Lumaquill" for
    // the program.
    static QString AppName();

private:
    void Remember(const QString& chosen);

    bool Advised = false;
    // The folders of the files chosen in the open prompts, latest first:
    // the prompts' recent list ("Look in"), and where the next one opens.
    QStringList RecentFolders;
    std::optional<QString> AskFileName(QWidget* parent, const FilePromptOptions& options, bool save);
};

} // namespace lumaquill
