#include "ui/QtSavePrompt.h"

#include "ui/ProgressDialog.h"
#include "ui/UiPrompts.h"

#include <QFile>

namespace lumaquill {

std::optional<std::string> QtSavePrompt::AskSavePath(const std::string& offeredName)
{
    FilePromptOptions options;
    options.InitialName = QString::fromStdString(offeredName);
    options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::OverwritePrompt;
    const std::optional<QString> chosen = Prompts.AskSaveFileName(ProgressDialog::Shown(), options);
    if (!chosen)
        return std::nullopt;
    return QFile::encodeName(*chosen).toStdString();
}

} // namespace lumaquill
