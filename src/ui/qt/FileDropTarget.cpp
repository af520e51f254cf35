#include "ui/qt/FileDropTarget.h"

#include "ui/qt/UiPrompts.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace lumaquill {

namespace {

const QString kNotAFile = QStringLiteral("Only a file can be dropped here.");
const QString kSeveralFiles = QStringLiteral("Please drop one file at a time.");
const QString kNotLocal = QStringLiteral("Only a file on this computer can be dropped here.");
const QString kFolder = QStringLiteral("\"%1\" is a folder. Please drop a file.");
const QString kUnreadable = QStringLiteral("\"%1\" cannot be read.");

} // namespace

FileDropTarget::FileDropTarget(QWidget* target, UiPrompts& prompts, Handler handler)
    : QObject(target)
    , Target(target)
    , Prompts(prompts)
    , OnFile(std::move(handler))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

QString FileDropTarget::DroppedFile(const QMimeData* data, QString& refusal)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty()) {
        refusal = kNotAFile;
        return QString();
    }
    if (data->urls().size() > 1) {
        refusal = kSeveralFiles;
        return QString();
    }
    const QUrl url = data->urls().first();
    if (!url.isLocalFile()) {
        refusal = kNotLocal;
        return QString();
    }
    const QFileInfo file(url.toLocalFile());
    if (file.isDir()) {
        refusal = kFolder.arg(file.fileName());
        return QString();
    }
    if (!file.isFile() || !file.isReadable()) {
        refusal = kUnreadable.arg(file.fileName());
        return QString();
    }
    refusal.clear();
    return file.absoluteFilePath();
}

// Every drag is taken, also an unusable one, so that dropping it can say
// what is wrong rather than silently showing a forbidden cursor.
bool FileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Target || !Target->isEnabled())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        drop->acceptProposedAction();
        QString refusal;
        const QString path = DroppedFile(drop->mimeData(), refusal);
        // The drag ends first: what the drop opens (a dialog, a message)
        // runs from the event loop, not inside the drop protocol.
        QMetaObject::invokeMethod(
            this,
            [this, path, refusal] {
                if (path.isEmpty())
                    Prompts.Stop(Target->window(), refusal);
                else
                    OnFile(path);
            },
            Qt::QueuedConnection);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace lumaquill
