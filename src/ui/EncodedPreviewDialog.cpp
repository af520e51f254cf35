#include "ui/EncodedPreviewDialog.h"

#include "engine/StegEngine.h"
#include "image/FitRect.h"
#include "ui/DibDrawing.h"
#include "ui/PictureFilters.h"
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

FilePromptOptions SavePromptOptions()
{
    FilePromptOptions options;
    options.Filter = PictureFilters::Save();
    options.DefaultExtension = PictureFilters::DefaultSaveExtension();
    options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::OverwritePrompt;
    return options;
}

// The prompt gives a name typed without extension the selected filter's;
// a name that still names no written format gets the default one, so that
// the file's name always says what it holds.
QString WithDefaultExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png") || suffix == QLatin1String("bmp") || suffix == QLatin1String("webp"))
        return path;
    return path + QLatin1Char('.') + PictureFilters::DefaultSaveExtension();
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
