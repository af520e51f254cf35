#include "ui/dialogs/EncodeDialog.h"

#include "core/MessageText.h"
#include "flows/Payload.h"
#include "flows/StealthFlow.h"
#include "flows/StegFlows.h"
#include "ui/dialogs/EncodedPreviewDialog.h"
#include "ui/dialogs/PasswordDialog.h"
#include "ui/dialogs/PreviewDialog.h"
#include "ui/dialogs/SizeText.h"
#include "ui/dialogs/TextDialog.h"
#include "ui/qt/BusyCursor.h"
#include "ui/qt/EngineRunScope.h"
#include "ui/qt/FileDropTarget.h"
#include "ui/qt/PictureFilters.h"
#include "ui/qt/UiPrompts.h"
#include "ui/template/UiResources.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QShortcut>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <optional>

namespace lumaquill {

namespace {

const DialogTemplate kEncodeTemplate{
    .Id = 144,
    .Caption = QStringLiteral("Encode Image"),
    .Width = 188,
    // Taller than the classic 198 by the two lines that show what is chosen,
    // the three that say whether the payload fits, and the stealth box with
    // its two lines of sizes and warning.
    .Height = 276,
    .Controls = {
        {1045, ControlKind::Static, QStringLiteral("What would you like to encode?"), {8, 65, 103, 8}},
        {EncodeDialog::kFileButtonId, ControlKind::PushButton, QStringLiteral("&A file"), {7, 75, 79, 14}},
        {EncodeDialog::kTypedTextButtonId, ControlKind::PushButton, QStringLiteral("&Typed Text"), {102, 75, 79, 14}},
        {1051, ControlKind::Static, QStringLiteral("What would you like to encode this into?"), {8, 97, 129, 8}},
        {EncodeDialog::kExistingImageButtonId, ControlKind::PushButton, QStringLiteral("&Existing Image"),
            {8, 107, 79, 14}},
        {EncodeDialog::kNoiseBoxId, ControlKind::CheckBox, QStringLiteral("or  Pure &Noise Image"), {99, 109, 82, 10},
            ControlStyle::LeftText},
        {EncodeDialog::kPreviewButtonId, ControlKind::PushButton, QStringLiteral("&Preview"), {8, 123, 79, 14}},
        // Before Ok in the tab order, as it is before Ok in a user's choices.
        {EncodeDialog::kShrinkBoxId, ControlKind::CheckBox, QStringLiteral("&Shrink to fit?"), {7, 144, 55, 10}},
        {kIdOk, ControlKind::PushButton, QStringLiteral("&Ok"), {97, 141, 84, 50}, ControlStyle::Picture},
        {EncodeDialog::kDataSizeId, ControlKind::Static, QStringLiteral("Data Size : 0"), {7, 169, 71, 8}},
        {EncodeDialog::kMaxSizeId, ControlKind::Static, QStringLiteral("Max Size : 0"), {7, 181, 85, 8}},
        // Ten units high: a name in a fallback face (CJK) is taller than
        // the dialog's own.
        {EncodeDialog::kChosenPayloadId, ControlKind::Static, QString(), {7, 195, 174, 10}},
        {EncodeDialog::kChosenContainerId, ControlKind::Static, QString(), {7, 205, 174, 10}},
        {EncodeDialog::kFitLineId, ControlKind::Static, QString(), {7, 217, 174, 24}, ControlStyle::WordWrap},
        {EncodeDialog::kStealthBoxId, ControlKind::CheckBox, QStringLiteral("Hide from &detectors (stealth)"),
            {7, 243, 174, 10}},
        {EncodeDialog::kStealthLineId, ControlKind::Static, QString(), {7, 255, 174, 16}, ControlStyle::WordWrap},
    },
};

const QString kNothingChosen = QStringLiteral("Encoding: nothing chosen yet");
const QString kPayloadLine = QStringLiteral("Encoding: %1");
const QString kTypedTextPayload = QStringLiteral("typed text");
const QString kNoContainerLine = QStringLiteral("Into: no image chosen yet");
const QString kContainerLine = QStringLiteral("Into: %1, %2 x %3 pixels");
// The engine keeps its image from one dialog to the next.
const QString kEarlierContainer = QStringLiteral("the image from before");
const QString kUnusableContainerLine = QStringLiteral("Into: %1, which cannot be used");
const QString kNoiseLine = QStringLiteral("Into: a new pure noise image");
// While the stealth box is ticked: the figures a stealth image is held to,
// in the style of the size lines, then what they mean for this payload or
// picture. The run's own message gives the full warning or refusal.
const QString kStealthSizesLine = QStringLiteral("Safe Size : %1   Largest Size : %2");
const QString kStealthDetectable = QStringLiteral("Warning: above the safe size, so detectable.");
const QString kStealthTooLarge = QStringLiteral("Too large: above the largest size.");
const QString kStealthUnusableCover = QStringLiteral("This picture cannot carry a stealth image.");

// Whether the payload fits, with units; shrinking never adds room, so the
// advice names what does.
const QString kFits = QStringLiteral("%1 fits: this picture takes at most %2.");
const QString kDoesNotFit = QStringLiteral("%1 does not fit: this picture takes at most %2.");
const QString kUnpackedDoesNotFit
    = QStringLiteral("%1 unpacked does not fit: a decode of this picture restores at most %2.");
const QString kMakeItFit = QStringLiteral(" Tick Pure Noise Image, or choose a larger picture.");
const QString kNoiseFits = QStringLiteral("%1 fits: the pure noise image is made to its size.");
const QString kShrinksTo = QStringLiteral(" Shrink to fit makes the picture %1 x %2 pixels.");
const QString kShrinkKeeps = QStringLiteral(" Shrink to fit keeps the picture as it is.");

// The name offered for saving a noise picture, which has no cover's name.
const QString kNoiseName = QStringLiteral("noise");

const QString kAllFilesFilter = QStringLiteral("All files (*.*)|*.*||");

const QString kInvalidImage = QStringLiteral("Invalid image");
// An encoded image that was not written must not be lost without a word;
// the system's reason is given when there is one.
const QString kCannotSave = QStringLiteral("Could not save the encoded image as \"%1\".");

QString SaveFailure(const QString& path, const std::string& reason)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (reason.empty())
        return kCannotSave.arg(shown);
    return QString::fromUtf8(message::kCouldNotWrite) + shown + QStringLiteral(": ") + QString::fromStdString(reason)
        + QLatin1Char('.');
}

FilePromptOptions OpenPrompt(const QString& filter)
{
    FilePromptOptions options;
    options.Filter = filter;
    options.Flags = FilePromptFlag::HideReadOnly | FilePromptFlag::PathMustExist | FilePromptFlag::FileMustExist;
    return options;
}

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Whether a block of this size can be had now; it is released at once.
// Asked before reading or compressing, so that a payload too large for
// memory is reported as such rather than as a failed read or compression.
bool CanHold(uintmax_t bytes)
{
    if (bytes > std::numeric_limits<size_t>::max())
        return false;
    const std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]);
    return block != nullptr;
}

// A reason clause as a sentence of its own.
QString Sentence(const std::string& clause)
{
    QString text = QString::fromStdString(clause);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}

} // namespace

EncodeDialog::EncodeDialog(StegFlows& flows, UiPrompts& prompts, QWidget* parent)
    : TemplateDialog(kEncodeTemplate, parent)
    , Flows(flows)
    , Prompts(prompts)
    , PreviewWindow(new PreviewDialog(flows, this))
{
    SetPicture(kIdOk, UiResources::Bitmap(kOkPictureId));
    SetBanner(kBannerIconId, QPoint(27, 10));
    BindCommand(kFileButtonId, &EncodeDialog::OnFileButton);
    BindCommand(kTypedTextButtonId, &EncodeDialog::OnTypedTextButton);
    BindCommand(kExistingImageButtonId, &EncodeDialog::OnExistingImageButton);
    BindCommand(kPreviewButtonId, &EncodeDialog::OnPreviewButton);
    new FileDropTarget(Button(kFileButtonId), prompts, [this](const QString& path) { ChoosePayloadFile(path); });
    new FileDropTarget(
        Button(kExistingImageButtonId), prompts, [this](const QString& path) { ChooseContainerFile(path); });
    new FileDropTarget(this, prompts, [this](const QString& path) { ChooseDroppedFile(path); });
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this, &EncodeDialog::OnExistingImageButton);
    connect(CheckBox(kNoiseBoxId), &QCheckBox::toggled, this, &EncodeDialog::ShowChosenContainer);
    connect(CheckBox(kNoiseBoxId), &QCheckBox::toggled, this, &EncodeDialog::ShowFit);
    connect(CheckBox(kShrinkBoxId), &QCheckBox::toggled, this, &EncodeDialog::ShowFit);
    connect(CheckBox(kStealthBoxId), &QCheckBox::toggled, this, &EncodeDialog::OnStealthToggled);
}

void EncodeDialog::OnInitDialog()
{
    SetControlText(kChosenPayloadId, kNothingChosen);
    ShowChosenContainer();
}

void EncodeDialog::ShowChosenPayload(const QString& what)
{
    SetElidedText(kChosenPayloadId, kPayloadLine.arg(what));
}

// The container is the engine's image, which may be left from an earlier
// dialog; a ticked noise box replaces it on Ok.
void EncodeDialog::ShowChosenContainer()
{
    const QString name = ContainerName.isEmpty() ? kEarlierContainer : ContainerName;
    if (IsChecked(kNoiseBoxId))
        SetElidedText(kChosenContainerId, kNoiseLine);
    else if (Flows.IsUsableContainer())
        SetElidedText(kChosenContainerId, kContainerLine.arg(name).arg(Flows.Width()).arg(Flows.Height()));
    else if (!ContainerName.isEmpty())
        SetElidedText(kChosenContainerId, kUnusableContainerLine.arg(name));
    else
        SetElidedText(kChosenContainerId, kNoContainerLine);
}

void EncodeDialog::done(int result)
{
    PreviewWindow->hide();
    TemplateDialog::done(result);
}

void EncodeDialog::OnFileButton()
{
    const std::optional<QString> path = Prompts.AskOpenFileName(this, OpenPrompt(kAllFilesFilter));
    if (path)
        ChoosePayloadFile(*path);
}

// Dropped elsewhere on the window, a file named as a picture is the
// container and any other file the payload; the two buttons take either.
void EncodeDialog::ChooseDroppedFile(const QString& path)
{
    const std::string name = LocalPath(path);
    if (IsPictureName(name))
        ChooseContainerFile(path);
    else
        ChoosePayloadFile(path);
}

void EncodeDialog::ChoosePayloadFile(const QString& path)
{
    BusyCursor busy;
    DataKind = PayloadKind::None;
    PayloadPath = path;
    ReleasePayload();
    if (LoadPayloadFile(path)) {
        DataKind = PayloadKind::File;
        ShowChosenPayload(QFileInfo(path).fileName());
        FocusNextStep();
    } else {
        SetControlText(kChosenPayloadId, kNothingChosen);
    }
    ShowStealthSizes();
}

bool EncodeDialog::LoadPayloadFile(const QString& path)
{
    // The prompt offers only existing files, but one can vanish or be
    // unreadable by the time it is read.
    // A device or pipe, or a file no picture could carry, is refused by its
    // kind and size before it is read, with the reason.
    const std::string local = LocalPath(path);
    uint64_t length = 0;
    const std::string problem = PayloadFileProblem(local, length);
    if (!problem.empty()) {
        std::error_code error;
        const QString text = QString::fromUtf8(message::kCannotRead);
        Prompts.Warn(this, std::filesystem::exists(local, error) ? text + QLatin1Char(' ') + Sentence(problem) : text);
        return false;
    }
    if (!CanHold(length)) {
        Prompts.Warn(this, QString::fromUtf8(message::kNoInputBuffer));
        return false;
    }
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(local);
    if (!bytes) {
        Prompts.Warn(this, QString::fromUtf8(message::kCannotRead));
        return false;
    }
    return CompressIntoPayload(bytes->data(), bytes->size());
}

void EncodeDialog::OnTypedTextButton()
{
    TextDialog text;
    text.Mode = TextDialog::EntryMode;
    if (DataKind == PayloadKind::Text && !TypedText.empty())
        text.Text = TypedText;
    if (text.exec() != Accepted)
        return;
    DataKind = PayloadKind::None;
    TypedText = text.Text;
    ReleasePayload();
    if (CompressIntoPayload(reinterpret_cast<const uint8_t*>(TypedText.data()), TypedText.size())) {
        DataKind = PayloadKind::Text;
        ShowChosenPayload(kTypedTextPayload);
    } else {
        SetControlText(kChosenPayloadId, kNothingChosen);
    }
    ShowStealthSizes();
}

void EncodeDialog::ReleasePayload()
{
    std::vector<uint8_t>().swap(Payload);
    OriginalSize = 0;
    ShowFit();
}

// On success the payload and its size line are replaced; on failure the
// size line keeps its previous text.
bool EncodeDialog::CompressIntoPayload(const uint8_t* data, size_t length)
{
    if (!CanHold(CompressBufferBytes(length))) {
        Prompts.Warn(this, QString::fromUtf8(message::kNoDataBuffer));
        return false;
    }
    std::optional<std::vector<uint8_t>> stream = CompressPayload(data, length);
    if (!stream) {
        Prompts.Warn(this, QString::fromUtf8(message::kCompressFailed));
        return false;
    }
    Payload = std::move(*stream);
    OriginalSize = length;
    ShowPayloadSize();
    return true;
}

void EncodeDialog::ShowPayloadSize()
{
    if (!Payload.empty())
        SetControlText(kDataSizeId, QStringLiteral("Data Size : %1").arg(PayloadSize()));
    ShowFit();
}

// Judged as soon as a payload and a usable container are both chosen; Ok
// is disabled while the payload does not fit, and enabled otherwise so that
// it can say what is missing.
void EncodeDialog::ShowFit()
{
    QString text;
    bool fits = true;
    if (Payload.empty()) {
        text.clear();
    } else if (IsChecked(kNoiseBoxId)) {
        text = kNoiseFits.arg(SizeText::Of(PayloadSize()));
    } else if (Flows.IsUsableContainer()) {
        const PayloadFit fit = Flows.Fit(PayloadSize(), OriginalSize);
        fits = fit.Fits;
        text = FitText(fit);
    }
    SetControlText(kFitLineId, text);
    EnableControl(kIdOk, fits);
}

QString EncodeDialog::FitText(const PayloadFit& fit) const
{
    if (fit.Limit == 0)
        return {};
    QString size = SizeText::Of(fit.Size);
    QString limit = SizeText::Of(fit.Limit);
    if (size == limit) {
        size = QStringLiteral("%1 bytes").arg(fit.Size);
        limit = QStringLiteral("%1 bytes").arg(fit.Limit);
    }
    if (!fit.Fits)
        return (fit.Unpacked ? kUnpackedDoesNotFit : kDoesNotFit).arg(size, limit) + kMakeItFit;
    return kFits.arg(size, limit) + (IsChecked(kShrinkBoxId) ? ShrinkText() : QString());
}

// Shrink to fit's picture is made here to learn its size: the same
// arithmetic as Ok's, done once.
QString EncodeDialog::ShrinkText() const
{
    int32_t width = 0;
    int32_t height = 0;
    if (!Flows.ShrunkSize(PayloadSize(), OriginalSize, width, height))
        return kShrinkKeeps;
    return kShrinksTo.arg(width).arg(height);
}

void EncodeDialog::OnExistingImageButton()
{
    const std::optional<QString> path = Prompts.AskOpenFileName(this, OpenPrompt(PictureFilters::Open()));
    if (path)
        ChooseContainerFile(*path);
}

void EncodeDialog::ChooseContainerFile(const QString& path)
{
    // Ok examines the container; a file that did not load shows a size of 0.
    Flows.LoadCover(LocalPath(path));
    ContainerName = QFileInfo(path).fileName();
    ShowContainerCapacity();
    FocusNextStep();
}

// After a choice the focus moves on, so that Enter does not reopen the
// prompt just answered: to the picture while none is chosen, else to Ok.
void EncodeDialog::FocusNextStep()
{
    const bool container = Flows.IsUsableContainer() || IsChecked(kNoiseBoxId);
    QWidget* next = !container ? Control(kExistingImageButtonId) : Control(kIdOk);
    if (Payload.empty() && container)
        next = Control(kFileButtonId);
    if (next->isEnabled())
        next->setFocus();
}

void EncodeDialog::ShowContainerCapacity()
{
    SetControlText(kMaxSizeId, QStringLiteral("Max Size : %1").arg(Flows.RatedCapacity()));
    ShowChosenContainer();
    ShowFit();
    ShowStealthSizes();
    WarnOfStealthCover();
}

void EncodeDialog::OnPreviewButton()
{
    // Pixel data is enough: an image the encode refuses can still be shown.
    if (!Flows.HasPicture()) {
        Prompts.Warn(this, kInvalidImage);
        return;
    }
    PreviewWindow->ShowAtImageSize();
}

// A cancelled password step, or an encode that failed, returns to this
// dialog with the payload and the container kept; an encode that ran ends it.
void EncodeDialog::OnOk()
{
    if (DataKind == PayloadKind::None) {
        Prompts.Stop(this, QString::fromUtf8(message::kNoData));
        return;
    }
    if (!Flows.IsUsableContainer() && !IsChecked(kNoiseBoxId)) {
        Prompts.Stop(this, PictureFilters::Refusal(ContainerName, Flows, false));
        return;
    }
    if (IsChecked(kStealthBoxId) && !StealthCoverAccepted())
        return;
    PasswordDialog password(Prompts);
    password.Stealth = IsChecked(kStealthBoxId);
    if (password.exec() != Accepted)
        return;
    if (EncodeAndSave(password.Key()))
        EndDialog(Accepted);
}

// The payload and its stored name, and the choices of the boxes, as the
// run will have them; the key is the password step's.
EncodeRequest EncodeDialog::Draft() const
{
    EncodeRequest request;
    request.Payload = Payload;
    request.OriginalSize = OriginalSize;
    // Stored names are UTF-8.
    request.Name = DataKind == PayloadKind::File ? PayloadPath.toStdString() : std::string();
    request.Noise = IsChecked(kNoiseBoxId);
    request.Shrink = IsChecked(kShrinkBoxId);
    request.Stealth = IsChecked(kStealthBoxId);
    return request;
}

// True when the encode ran; the encoded image has then been saved, or
// discarded in the preview.
bool EncodeDialog::EncodeAndSave(const KeyEntry& key)
{
    // The preview shows the pixels the run is about to change.
    PreviewWindow->hide();
    EncodeResult result;
    {
        EngineRunScope run(Flows, Prompts, this);
        run.Run([&] { result = Flows.Encode(Draft(), key); });
    }
    if (!result.Encoded()) {
        // A noise or rescaled container may have replaced the chosen one.
        ShowPayloadSize();
        ShowContainerCapacity();
        return false;
    }
    // The size line shows the sealed payload the container was checked for.
    if (result.SealedBytes > 0)
        SetControlText(kDataSizeId, QStringLiteral("Data Size : %1").arg(result.SealedBytes));
    SaveEncodedImage(result);
    return true;
}

// Cancel discards the encoded image: nothing is written, but the engine's
// container now holds it.
void EncodeDialog::SaveEncodedImage(const EncodeResult& result)
{
    EncodedPreviewDialog preview(Flows, Prompts);
    preview.StealthJpeg = result.Format == PictureFormat::Jpeg;
    // The cover's name, in the format saved by default.
    const QString base
        = IsChecked(kNoiseBoxId) || ContainerName.isEmpty() ? kNoiseName : QFileInfo(ContainerName).completeBaseName();
    const QString extension
        = preview.StealthJpeg ? PictureFilters::StealthJpegExtension() : PictureFilters::DefaultSaveExtension();
    preview.SuggestedName = base + QLatin1Char('.') + extension;
    if (preview.exec() == Accepted)
        SaveUntilWrittenOrCancelled(preview, result);
}

// A failed save must not lose the encoded image: the prompt comes back on
// the same folder and name until a save succeeds or the user cancels.
void EncodeDialog::SaveUntilWrittenOrCancelled(EncodedPreviewDialog& preview, const EncodeResult& result)
{
    std::optional<QString> path = preview.SavePath();
    while (path) {
        const PictureFormat format = result.Format.value_or(PictureFilters::SaveFormat(*path));
        const std::string reason = Flows.SaveEncoded(LocalPath(*path), format);
        if (reason.empty()) {
            Prompts.ShowEncodedSaved(this, *path);
            return;
        }
        Prompts.Warn(this, SaveFailure(*path, reason));
        path = preview.AskAgain(*path);
    }
}

// A stealth image needs a photo at its full size: neither a noise picture
// nor a shrunk one. Unticked, the size lines show the classic figures again.
void EncodeDialog::OnStealthToggled(bool ticked)
{
    for (const int id : { kNoiseBoxId, kShrinkBoxId }) {
        if (ticked)
            SetChecked(id, false);
        EnableControl(id, !ticked);
    }
    if (ticked) {
        ShowStealthSizes();
        WarnOfStealthCover();
        return;
    }
    if (DataKind != PayloadKind::None)
        SetControlText(kDataSizeId, QStringLiteral("Data Size : %1").arg(PayloadSize()));
    SetControlText(kMaxSizeId, QStringLiteral("Max Size : %1").arg(Flows.RatedCapacity()));
    SetControlText(kStealthLineId, QString());
}

// While the stealth box is ticked the size lines show what a stealth image
// (of a JPEG cover: a stealth JPEG) is held to: the payload with its stored
// name (the figure its sizes count) and the largest size; the stealth line
// adds both sizes and what they mean.
void EncodeDialog::ShowStealthSizes()
{
    if (!IsChecked(kStealthBoxId))
        return;
    const uint64_t dataBytes = DataKind != PayloadKind::None ? StealthPayloadBytes(Draft()) : 0;
    if (DataKind != PayloadKind::None)
        SetControlText(kDataSizeId, QStringLiteral("Data Size : %1").arg(dataBytes));
    SetControlText(kMaxSizeId, QStringLiteral("Max Size : %1").arg(Flows.StealthSizes(EncodeRequest()).Largest));
    SetControlText(kStealthLineId, StealthLine(dataBytes));
}

QString EncodeDialog::StealthLine(uint64_t dataBytes) const
{
    const stealth::StealthSizes sizes = Flows.StealthSizes(EncodeRequest());
    const QString figures = kStealthSizesLine.arg(sizes.Safe).arg(sizes.Largest);
    if (!Flows.IsUsableContainer())
        return figures;
    // An empty request leaves only the picture's own problems.
    if (!Flows.StealthCoverRefusal(EncodeRequest()).empty())
        return figures + QLatin1Char('\n') + kStealthUnusableCover;
    if (dataBytes > sizes.Largest)
        return figures + QLatin1Char('\n') + kStealthTooLarge;
    if (dataBytes > sizes.Safe)
        return figures + QLatin1Char('\n') + kStealthDetectable;
    return figures;
}

// A picture that cannot carry a stealth image (lossy, grey, too small) is
// named as soon as it meets a ticked box, with why and what to do; the
// payload's size is judged on Ok.
void EncodeDialog::WarnOfStealthCover()
{
    if (!IsChecked(kStealthBoxId) || !Flows.IsUsableContainer())
        return;
    const std::string refusal = Flows.StealthCoverRefusal(EncodeRequest());
    if (!refusal.empty())
        Prompts.Warn(this, QString::fromStdString(refusal));
}

// Refused before the password is asked for, with the run's own message: the
// picture, or a payload above the largest size (both sizes stated). A
// payload above the safe size is warned of once, by the run.
bool EncodeDialog::StealthCoverAccepted()
{
    const std::string refusal = Flows.StealthCoverRefusal(Draft());
    if (refusal.empty())
        return true;
    Prompts.Stop(this, QString::fromStdString(refusal));
    return false;
}

// The zlib stream's size; 0 without a payload.
uint32_t EncodeDialog::PayloadSize() const
{
    return static_cast<uint32_t>(Payload.size());
}

} // namespace lumaquill
