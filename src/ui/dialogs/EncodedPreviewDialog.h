#pragma once

#include "ui/template/TemplateDialog.h"

#include <QString>
#include <optional>

namespace lumaquill {

class StegFlows;
class UiPrompts;

// The encoded image's low-quality preview (template 133), aspect kept, made
// afresh on every repaint; Save As asks where to save it.
class EncodedPreviewDialog : public TemplateDialog {
    Q_OBJECT
public:
    EncodedPreviewDialog(const StegFlows& flows, UiPrompts& prompts, QWidget* parent = nullptr);

    // The path chosen with Save As; the caller saves there after OK, in the
    // format its extension names (PNG, BMP or WebP), or as the stealth JPEG.
    QString SavePath() const { return ChosenPath; }
    // The name the save prompt offers first (set by the caller).
    QString SuggestedName;
    // The encoded picture is a stealth JPEG (set by the caller): the save
    // prompt offers JPEG pictures, and a name gets ".jpg" unless it has a
    // JPEG's extension.
    bool StealthJpeg = false;
    // After a failed save: the save prompt again, opened on the failed path
    // (its folder and name); the new path, or nothing when the user cancels.
    std::optional<QString> AskAgain(const QString& failedPath);
    // Where the picture is fitted: the client area above the buttons, within
    // the dialog's margins.
    QRect PreviewArea() const;

protected:
    void OnOk() override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QString> AskSavePath(const QString& initialName);

    const StegFlows& Flows;
    UiPrompts& Prompts;
    QString ChosenPath;
};

} // namespace lumaquill
