#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

namespace lumaquill {

class UiPrompts;

// Lets one file be dropped on a widget (a dialog's button): a drop of a
// single readable local file hands its full path to the handler; any other
// drop (no file, several, a folder, one that cannot be read) says why with
// the stop icon and hands nothing on.
class FileDropTarget : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QString& path)>;

    FileDropTarget(QWidget* target, UiPrompts& prompts, Handler handler);

    // The one usable file of a drop, or the empty text with the reason.
    static QString DroppedFile(const QMimeData* data, QString& refusal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Target;
    UiPrompts& Prompts;
    Handler OnFile;
};

} // namespace lumaquill
