#include "ui/qt/QtSavePrompt.h"

#include "ui/dialogs/ProgressDialog.h"
#include "ui/qt/GuiThread.h"
#include "ui/qt/UiPrompts.h"

#include <QFile>

namespace lumaquill {

std::optional<std::string> QtSavePrompt::AskSavePath(const std::string& offeredName)
{
    std::optional<QString> chosen;
    OnGuiThread([&] {
        FilePromptOptions options;
        options.InitialName = QString::fromStdString(offeredName);
        options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::OverwritePrompt;
        chosen = Prompts.AskSaveFileName(ProgressDialog::Shown(), options);
    });
    if (!chosen)
        return std::nullopt;
    return QFile::encodeName(*chosen).toStdString();
}

} // namespace lumaquill
