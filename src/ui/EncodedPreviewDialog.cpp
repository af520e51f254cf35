#include "ui/EncodedPreviewDialog.h"

#include "engine/StegEngine.h"
#include "image/FitRect.h"
#include "ui/DibDrawing.h"
#include "ui/UiPrompts.h"

#include <QFileInfo>
#include <QPainter>

namespace lumaquill {

namespace {

const DialogTemplate EncodedPreviewTemplate{
    .Id = 133,
    .Caption = QStringLiteral("Encoded Image (Low quality preview)"),
    .Width = 262,
    .Height = 145,
    .Controls = {
        {IdOk, ControlKind::PushButton, QStringLiteral("Save As"), {152, 124, 50, 14}},
        {IdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {205, 124, 50, 14}},
    },
};

// The preview area is the outer window less 40 pixels at the top and 40 at
// the bottom, which the buttons keep.
constexpr int ButtonBands = 80;

const QString SaveExtension = QStringLiteral("bmp");

FilePromptOptions SavePromptOptions()
{
    FilePromptOptions options;
    options.Filter = QStringLiteral("All files (*.*)|*.*||");
    options.DefaultExtension = SaveExtension;
    options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::OverwritePrompt;
    return options;
}

// The prompt adds the default extension to a name typed without one; a
// prompt that did not is made good here, by the same rule.
QString WithDefaultExtension(const QString& path)
{
    if (QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + SaveExtension;
}

} // namespace

EncodedPreviewDialog::EncodedPreviewDialog(const StegEngine& engine, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(EncodedPreviewTemplate, parent)
    , Engine(engine)
    , Prompts(prompts)
{
}

void EncodedPreviewDialog::OnOk()
{
    const std::optional<QString> chosen = Prompts.AskSaveFileName(this, SavePromptOptions());
    if (!chosen)
        return;
    ChosenPath = WithDefaultExtension(*chosen);
    EndDialog(Accepted);
}

std::optional<QString> EncodedPreviewDialog::AskAgain(const QString& failedPath)
{
    FilePromptOptions options = SavePromptOptions();
    options.InitialName = failedPath;
    const std::optional<QString> chosen = Prompts.AskSaveFileName(this, options);
    if (!chosen)
        return std::nullopt;
    ChosenPath = WithDefaultExtension(*chosen);
    return ChosenPath;
}

// The scaled picture is made afresh on every repaint and released after it.
void EncodedPreviewDialog::paintEvent(QPaintEvent* event)
{
    TemplateDialog::paintEvent(event);
    const QSize outer = frameGeometry().size();
    const Rect area { 0, 0, outer.width(), outer.height() - ButtonBands };
    if (!Engine.IsValid() || area.Width() <= 0 || area.Height() <= 0)
        return;
    const Rect fitted = FitRect(area, Engine.Width(), Engine.Height());
    QPainter painter(this);
    DrawStretched(painter, Engine, QRect(fitted.Left, fitted.Top, fitted.Width(), fitted.Height()));
}

} // namespace lumaquill
