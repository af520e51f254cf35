#include "ui/dialogs/DecodeDialog.h"

#include "core/MessageText.h"
#include "flows/StegFlows.h"
#include "ui/dialogs/PasswordDialog.h"
#include "ui/dialogs/PreviewDialog.h"
#include "ui/dialogs/TextDialog.h"
#include "ui/qt/EngineRunScope.h"
#include "ui/qt/FileDropTarget.h"
#include "ui/qt/PictureFilters.h"
#include "ui/qt/UiPrompts.h"
#include "ui/template/UiResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QShortcut>
#include <optional>

namespace lumaquill {

namespace {

const DialogTemplate kDecodeTemplate{
    .Id = 145,
    .Caption = QStringLiteral("Decode"),
    .Width = 188,
    .Height = 198,
    .Controls = {
        {1045, ControlKind::Static, QStringLiteral("From which image do you want to decode?"), {7, 77, 136, 8}},
        {DecodeDialog::kImageButtonId, ControlKind::PushButton, QStringLiteral("&Image"), {7, 87, 79, 14}},
        {DecodeDialog::kPreviewButtonId, ControlKind::PushButton, QStringLiteral("&Preview"), {102, 87, 79, 14}},
        {kIdOk, ControlKind::PushButton, QStringLiteral("&Decode"), {97, 141, 84, 50},
            ControlStyle::DefaultButton | ControlStyle::Picture},
        // Ten units high: a name in a fallback face (CJK) is taller than
        // the dialog's own.
        {DecodeDialog::kChosenImageId, ControlKind::Static, QString(), {7, 104, 174, 10}},
    },
};

const QString kNoImageLine = QStringLiteral("Image: none chosen yet");
const QString kImageLine = QStringLiteral("Image: %1, %2 x %3 pixels");
// The engine keeps its image from one dialog to the next.
const QString kEarlierImage = QStringLiteral("the image from before");
const QString kUnusableImageLine = QStringLiteral("Image: %1, which cannot be decoded");

} // namespace

DecodeDialog::DecodeDialog(StegFlows& flows, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kDecodeTemplate, parent)
    , Flows(flows)
    , Prompts(prompts)
    , PreviewWindow(new PreviewDialog(flows, this))
{
    SetPicture(kIdOk, UiResources::Bitmap(kDecodePictureId));
    SetBanner(kBannerIconId, QPoint(27, 10));
    BindCommand(kImageButtonId, &DecodeDialog::OnImageButton);
    BindCommand(kPreviewButtonId, &DecodeDialog::OnPreviewButton);
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this, &DecodeDialog::OnImageButton);
    // A picture dropped anywhere on the window is the one to decode.
    new FileDropTarget(this, prompts, [this](const QString& path) { ChooseImageFile(path); });
}

void DecodeDialog::OnInitDialog()
{
    ShowChosenImage();
}

void DecodeDialog::ShowChosenImage()
{
    const QString name = ImageName.isEmpty() ? kEarlierImage : ImageName;
    std::string detail;
    // A lossy picture loads, but holds nothing (a JPEG only as a stealth
    // JPEG): it is named as such at once.
    if (Flows.CoverProblem(true, detail) == LoadProblem::None)
        SetElidedText(kChosenImageId, kImageLine.arg(name).arg(Flows.Width()).arg(Flows.Height()));
    else if (!ImageName.isEmpty())
        SetElidedText(kChosenImageId, kUnusableImageLine.arg(name));
    else
        SetElidedText(kChosenImageId, kNoImageLine);
}

void DecodeDialog::done(int result)
{
    PreviewWindow->hide();
    TemplateDialog::done(result);
}

// Loading discards the previous image first: a file that is not a usable
// bitmap leaves no container, which Preview and Decode then report.
void DecodeDialog::OnImageButton()
{
    FilePromptOptions options;
    options.Filter = PictureFilters::Open();
    options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::PathMustExist | FilePromptFlag::FileMustExist;
    const std::optional<QString> path = Prompts.AskOpenFileName(this, options);
    if (path)
        ChooseImageFile(*path);
}

void DecodeDialog::ChooseImageFile(const QString& path)
{
    Flows.LoadCover(QFile::encodeName(path).toStdString());
    ImageName = QFileInfo(path).fileName();
    ShowChosenImage();
    // Enter now decodes, rather than reopening the prompt just answered.
    Button(kIdOk)->setFocus();
}

// Pixel data is enough: an image of fewer than 24 bits per pixel can be
// shown, though not decoded.
void DecodeDialog::OnPreviewButton()
{
    if (!Flows.HasPicture()) {
        Prompts.Stop(this, QString::fromUtf8(message::kNoImage));
        return;
    }
    PreviewWindow->ShowAtImageSize();
}

// A missing container, a cancelled password step or a decode that gave
// nothing (a wrong password, a file that was not saved) leaves the dialog
// open, so another password can be tried; the next Decode starts over,
// question header included. A decode that delivered its text or its file
// ends the dialog.
void DecodeDialog::OnOk()
{
    std::string detail;
    if (Flows.CoverProblem(true, detail) != LoadProblem::None) {
        Prompts.Stop(this, PictureFilters::Refusal(ImageName, Flows, true));
        return;
    }
    DecodeResult result;
    {
        EngineRunScope run(Flows, Prompts, this);
        PasswordDialog password(Prompts);
        QuestionSet stored;
        if (Flows.ReadStoredQuestions(stored))
            password.SetStoredQuestions(stored);
        password.DecodeMode = true;
        if (password.exec() != Accepted)
            return;
        run.Run([&] { result = Flows.Decode(password.Key()); });
        result = SavedOrDeclined(run, std::move(result));
    }
    if (Delivered(result))
        EndDialog(Accepted);
}

// A file that could not be written has been reported by the run; the save
// prompt comes back, on the same offered name, until the file is written or
// the prompt is declined.
DecodeResult DecodeDialog::SavedOrDeclined(EngineRunScope& run, DecodeResult result)
{
    while (result.What == DecodeResult::Kind::WriteFailed)
        run.Run([&] { result = Flows.SaveDecodedAgain(); });
    return result;
}

// A declined save prompt or a cancelled run wrote nothing: both leave the
// dialog open, a cancelled run without a word.
bool DecodeDialog::Delivered(const DecodeResult& result)
{
    switch (result.What) {
    case DecodeResult::Kind::Text: {
        TextDialog text;
        text.Mode = TextDialog::DisplayMode;
        text.Text = result.Text;
        text.exec();
        return true;
    }
    case DecodeResult::Kind::FileWritten:
        Prompts.ShowSaved(this,
            QString::fromUtf8(message::kDecodedSavedAs)
                + QDir::toNativeSeparators(QFile::decodeName(result.Path.c_str())) + QLatin1Char('.'),
            QFile::decodeName(result.Path.c_str()));
        return true;
    case DecodeResult::Kind::SaveDeclined:
    case DecodeResult::Kind::WriteFailed:
    case DecodeResult::Kind::Cancelled:
    case DecodeResult::Kind::Unreadable:
        return false;
    case DecodeResult::Kind::Nothing:
        break;
    }
    Prompts.Warn(this, QString::fromUtf8(result.FromJpeg ? message::kStealthJpegNotOpened : message::kNothingDecoded));
    return false;
}

} // namespace lumaquill
