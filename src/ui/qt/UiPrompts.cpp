#include "ui/qt/UiPrompts.h"

#include "core/MessageText.h"
#include "ui/qt/FileFilter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace lumaquill {

namespace {

QWidget* OwnerOr(QWidget* parent)
{
    if (parent)
        return parent;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// A prompt shown during a run (which keeps the busy cursor) gets the normal
// arrow while it is up.
class ArrowCursorScope {
public:
    ArrowCursorScope()
        : Pushed(QGuiApplication::overrideCursor() != nullptr)
    {
        if (Pushed)
            QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    ~ArrowCursorScope()
    {
        if (Pushed)
            QGuiApplication::restoreOverrideCursor();
    }
    ArrowCursorScope(const ArrowCursorScope&) = delete;
    ArrowCursorScope& operator=(const ArrowCursorScope&) = delete;

private:
    bool Pushed;
};

// The extension of a Qt name filter's first pattern ("PNG image (*.png)"
// gives "png"); empty for "*" and for patterns without one.
QString FilterExtension(const QString& filter)
{
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    if (open < 0)
        return {};
    const QString first = filter.mid(open + 1).chopped(1).section(QLatin1Char(' '), 0, 0);
    const QString extension = first.startsWith(QLatin1String("*.")) ? first.mid(2) : QString();
    return extension.contains(QLatin1Char('*')) ? QString() : extension;
}

} // namespace

QString UiPrompts::AppName()
{
    const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return base.left(1).toUpper() + base.mid(1);
}

void UiPrompts::ShowMessage(QWidget* parent, const QString& text, MessageIcon icon)
{
    ArrowCursorScope arrow;
    const QMessageBox::Icon shown = icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning;
    QMessageBox box(shown, AppName(), text, QMessageBox::Ok, OwnerOr(parent));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void UiPrompts::ShowSaved(QWidget* parent, const QString& text, const QString& path)
{
    ArrowCursorScope arrow;
    QMessageBox box(QMessageBox::Information, AppName(), text, QMessageBox::Ok, OwnerOr(parent));
    box.setTextFormat(Qt::PlainText);
    QPushButton* open = box.addButton(QStringLiteral("Open &Folder"), QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (box.clickedButton() == open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

void UiPrompts::ShowEncodedSaved(QWidget* parent, const QString& path)
{
    QString text = QString::fromUtf8(message::kEncodedSavedAs) + QDir::toNativeSeparators(path) + QLatin1Char('.');
    if (!Advised)
        text += QStringLiteral("\n\n") + QString::fromUtf8(message::kSendAsFile);
    Advised = true;
    ShowSaved(parent, text, path);
}

std::optional<QString> UiPrompts::AskOpenFileName(QWidget* parent, const FilePromptOptions& options)
{
    return AskFileName(parent, options, false);
}

std::optional<QString> UiPrompts::AskSaveFileName(QWidget* parent, const FilePromptOptions& options)
{
    return AskFileName(parent, options, true);
}

std::optional<QString> UiPrompts::AskFileName(QWidget* parent, const FilePromptOptions& options, bool save)
{
    ArrowCursorScope arrow;
    QFileDialog prompt(OwnerOr(parent), save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    prompt.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    prompt.setFileMode(
        options.Flags.testFlag(FilePromptFlag::FileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    prompt.setOption(QFileDialog::HideNameFilterDetails);
    prompt.setOption(QFileDialog::DontConfirmOverwrite, !options.Flags.testFlag(FilePromptFlag::OverwritePrompt));
    const QStringList filters = FileFilter::ToQtFilters(options.Filter);
    if (!filters.isEmpty())
        prompt.setNameFilters(filters);
    prompt.setDefaultSuffix(options.DefaultExtension);
    // A name typed without extension gets the selected filter's.
    if (save) {
        QObject::connect(&prompt, &QFileDialog::filterSelected, &prompt, [&prompt](const QString& filter) {
            if (const QString extension = FilterExtension(filter); !extension.isEmpty())
                prompt.setDefaultSuffix(extension);
        });
    }
    if (!save && !RecentFolders.isEmpty()) {
        prompt.setHistory(RecentFolders);
        prompt.setDirectory(RecentFolders.first());
    }
    if (!options.InitialName.isEmpty())
        prompt.selectFile(options.InitialName);
    while (prompt.exec() == QDialog::Accepted && !prompt.selectedFiles().isEmpty()) {
        const QString chosen = QFileInfo(prompt.selectedFiles().first()).absoluteFilePath();
        // A save prompt lets a folder name be typed that does not exist.
        if (!options.Flags.testFlag(FilePromptFlag::PathMustExist) || QFileInfo(chosen).absoluteDir().exists()) {
            if (!save)
                Remember(chosen);
            return chosen;
        }
    }
    return std::nullopt;
}

void UiPrompts::Remember(const QString& chosen)
{
    constexpr qsizetype kRecentFolders = 8;
    const QString folder = QFileInfo(chosen).absolutePath();
    RecentFolders.removeAll(folder);
    RecentFolders.prepend(folder);
    while (RecentFolders.size() > kRecentFolders)
        RecentFolders.removeLast();
}

} // namespace lumaquill
