#include "ui/dialogs/EncodedPreviewDialog.h"

#include "core/MessageText.h"
#include "flows/PictureTypes.h"
#include "flows/StegFlows.h"
#include "ui/qt/DibDrawing.h"
#include "ui/qt/PictureFilters.h"
#include "ui/qt/UiPrompts.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

namespace lumaquill {

namespace {

const DialogTemplate kEncodedPreviewTemplate{
    .Id = 133,
    .Caption = QStringLiteral("Encoded Image (Low quality preview)"),
    .Width = 262,
    .Height = 145,
    .Controls = {
        {kIdOk, ControlKind::PushButton, QStringLiteral("&Save As"), {152, 124, 50, 14}},
        {kIdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {205, 124, 50, 14}},
    },
};

// The picture keeps this margin (in dialog units) from the window's edges
// and from the buttons below it.
constexpr int kMargin = 7;

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
    if (PictureFilters::IsSavedSuffix(QFileInfo(path).suffix()))
        return path;
    return path + QLatin1Char('.') + PictureFilters::DefaultSaveExtension();
}

// A stealth JPEG is the cover's own format and nothing else.
FilePromptOptions StealthJpegPromptOptions()
{
    FilePromptOptions options = SavePromptOptions();
    options.Filter = PictureFilters::StealthJpegSave();
    options.DefaultExtension = PictureFilters::StealthJpegExtension();
    return options;
}

QString WithJpegExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return path;
    return path + QLatin1Char('.') + PictureFilters::StealthJpegExtension();
}

} // namespace

EncodedPreviewDialog::EncodedPreviewDialog(const StegFlows& flows, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kEncodedPreviewTemplate, parent)
    , Flows(flows)
    , Prompts(prompts)
{
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &EncodedPreviewDialog::OnOk);
}

void EncodedPreviewDialog::OnOk()
{
    if (AskSavePath(SuggestedName))
        EndDialog(Accepted);
}

std::optional<QString> EncodedPreviewDialog::AskAgain(const QString& failedPath)
{
    return AskSavePath(failedPath);
}

// A name with a lossy format's extension is answered with the reason and
// asked again, rather than saved under another name than the one typed; a
// stealth JPEG is the one lossy file that is saved as it is.
std::optional<QString> EncodedPreviewDialog::AskSavePath(const QString& initialName)
{
    FilePromptOptions options = StealthJpeg ? StealthJpegPromptOptions() : SavePromptOptions();
    options.InitialName = initialName;
    std::optional<QString> chosen = Prompts.AskSaveFileName(this, options);
    while (chosen && !StealthJpeg && IsLossyExtension(QFile::encodeName(*chosen).toStdString())) {
        Prompts.Warn(this, PictureFilters::LossyNameWarning(QFileInfo(*chosen).fileName()));
        options.InitialName
            = QFileInfo(*chosen).completeBaseName() + QLatin1Char('.') + PictureFilters::DefaultSaveExtension();
        chosen = Prompts.AskSaveFileName(this, options);
    }
    if (!chosen)
        return std::nullopt;
    ChosenPath = StealthJpeg ? WithJpegExtension(*chosen) : WithDefaultExtension(*chosen);
    return ChosenPath;
}

QRect EncodedPreviewDialog::PreviewArea() const
{
    const int left = Units().X(kMargin);
    const int top = Units().Y(kMargin);
    const int bottom = Button(kIdOk)->geometry().top() - Units().Y(kMargin);
    return QRect(left, top, width() - 2 * left, bottom - top);
}

// The scaled picture is made afresh on every repaint and released after it.
void EncodedPreviewDialog::paintEvent(QPaintEvent* event)
{
    TemplateDialog::paintEvent(event);
    const QRect area = PreviewArea();
    if (!Flows.HasPicture() || area.width() <= 0 || area.height() <= 0)
        return;
    const Rect fitted = FitRect({ 0, 0, area.width(), area.height() }, Flows.Width(), Flows.Height());
    QPainter painter(this);
    DrawStretched(painter, Flows.Picture(),
        QRect(area.left() + fitted.Left, area.top() + fitted.Top, fitted.Width(), fitted.Height()));
}

} // namespace lumaquill
