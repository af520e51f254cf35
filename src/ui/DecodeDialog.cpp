#include "ui/DecodeDialog.h"

#include "core/MessageText.h"
#include "engine/StegEngine.h"
#include "flows/DecodeFlow.h"
#include "flows/KeyDigests.h"
#include "image/LoadProblem.h"
#include "ui/EngineRunScope.h"
#include "ui/FileDropTarget.h"
#include "ui/PasswordDialog.h"
#include "ui/PictureFilters.h"
#include "ui/PreviewDialog.h"
#include "ui/TextDialog.h"
#include "ui/UiPrompts.h"
#include "ui/UiResources.h"

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

DecodeDialog::DecodeDialog(StegEngine& engine, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kDecodeTemplate, parent)
    , Engine(engine)
    , Prompts(prompts)
    , PreviewWindow(new PreviewDialog(engine, this))
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
    // A lossy picture loads, but holds nothing: it is named as such at once.
    if (Engine.ContainerProblem(true, detail) == LoadProblem::None)
        SetElidedText(kChosenImageId, kImageLine.arg(name).arg(Engine.Width()).arg(Engine.Height()));
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
    Engine.LoadContainer(QFile::encodeName(path).toStdString());
    ImageName = QFileInfo(path).fileName();
    ShowChosenImage();
    // Enter now decodes, rather than reopening the prompt just answered.
    Button(kIdOk)->setFocus();
}

// Pixel data is enough: an image of fewer than 24 bits per pixel can be
// shown, though not decoded.
void DecodeDialog::OnPreviewButton()
{
    if (!Engine.IsValid()) {
        Prompts.Stop(this, QString::fromUtf8(message::kNoImage));
        return;
    }
    PreviewWindow->ShowAtImageSize();
}

// A missing container, a cancelled password step or a decode that gave
// nothing (a wrong password, a file that was not written) leaves the dialog
// open, so another password or another folder can be tried; the next Decode
// starts over, question header included. A decode that delivered its text
// or its file ends the dialog.
void DecodeDialog::OnOk()
{
    // Lives until the run has ended: the key material borrows its questions.
    PasswordDialog password(Prompts);
    std::string holder;
    std::string detail;
    if (Engine.ContainerProblem(true, detail) != LoadProblem::None) {
        Prompts.Stop(this, PictureFilters::Refusal(ImageName, Engine, true));
        return;
    }
    DecodeOutcome outcome = NothingDecoded;
    bool writeFailed = false;
    {
        EngineRunScope run(Engine, Prompts, this);
        password.QuestionsStored = ReadStoredQuestions(Engine, password.Questions) ? 1 : 0;
        password.DecodeMode = true;
        if (password.exec() != Accepted)
            return;
        // The typed password opens a sealed image; answers never do.
        const SecretBytes* typed = password.Password.empty() ? nullptr : &password.Password;
        const KeyDigests key { password.PasswordDigest, password.PasswordMd5 };
        run.Run([&] { outcome = RunDecode(Engine, key, holder, typed); });
        writeFailed = run.StopShown();
    }
    if (Delivered(outcome, holder, writeFailed))
        EndDialog(Accepted);
}

// A file that could not be written has been reported by the run, and a
// declined save prompt or a cancelled run wrote nothing: all of these leave
// the dialog open, a cancelled run without a word.
bool DecodeDialog::Delivered(DecodeOutcome outcome, const std::string& holder, bool writeFailed)
{
    switch (outcome) {
    case TextDecoded: {
        TextDialog text;
        text.Mode = TextDialog::DisplayMode;
        text.Text = holder;
        text.exec();
        return true;
    }
    case FileWritten:
        if (holder.empty() || writeFailed)
            return false;
        Prompts.ShowSaved(this,
            QString::fromUtf8(message::kDecodedSavedAs) + QDir::toNativeSeparators(QFile::decodeName(holder.c_str()))
                + QLatin1Char('.'),
            QFile::decodeName(holder.c_str()));
        return true;
    case DecodeCancelled:
        return false;
    case NothingDecoded:
        break;
    }
    Prompts.Warn(this, QString::fromUtf8(message::kNothingDecoded));
    return false;
}

} // namespace lumaquill
