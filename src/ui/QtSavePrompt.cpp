#include "ui/QtSavePrompt.h"

#include "ui/ProgressDialog.h"
#include "ui/UiPrompts.h"

#include <QFile>
#include <QStringDecoder>

namespace lumaquill {

QString QtSavePrompt::NameFromBytes(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return decoded;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<std::string> QtSavePrompt::AskSavePath(const std::string& offeredName)
{
    FilePromptOptions options;
    options.InitialName = NameFromBytes(offeredName);
    options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::OverwritePrompt;
    const std::optional<QString> chosen = Prompts.AskSaveFileName(ProgressDialog::Shown(), options);
    if (!chosen)
        return std::nullopt;
    return QFile::encodeName(*chosen).toStdString();
}

} // namespace lumaquill
