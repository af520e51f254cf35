#pragma once

#include "ui/template/TemplateDialog.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill {

struct EncodeRequest;
struct EncodeResult;
struct KeyEntry;
struct PayloadFit;
class EncodedPreviewDialog;
class PreviewDialog;
class StegFlows;
class UiPrompts;

// Where the user hides something (template 144, "Encode Image"): chooses
// the payload (a file or typed text, compressed at once) and the container
// (an existing picture loaded into the application's engine, or a noise
// picture made on Ok), and runs the encode through the flows on Ok; a JPEG
// cover with stealth on gives a stealth JPEG. The container is the
// engine's image and outlives the dialog; the payload dies with it.
class EncodeDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kBannerIconId = 141;
    static constexpr int kOkPictureId = 142;
    static constexpr int kFileButtonId = 1052;
    static constexpr int kTypedTextButtonId = 1019;
    static constexpr int kExistingImageButtonId = 1053;
    static constexpr int kNoiseBoxId = 1058;
    static constexpr int kPreviewButtonId = 1000;
    static constexpr int kShrinkBoxId = 1057;
    static constexpr int kDataSizeId = 1055;
    static constexpr int kMaxSizeId = 1056;
    // What is chosen, in two lines below the buttons: the payload, and the
    // container with its size in pixels.
    static constexpr int kChosenPayloadId = 1070;
    static constexpr int kChosenContainerId = 1071;
    // Whether the payload fits the container, with sizes in units.
    static constexpr int kFitLineId = 1072;
    // "Hide from detectors (stealth)", and below it the stealth sizes of the
    // chosen container with a warning when the payload goes above the safe
    // size; the line is empty while the box is unticked.
    static constexpr int kStealthBoxId = 1073;
    static constexpr int kStealthLineId = 1074;

    // What the payload is.
    enum class PayloadKind {
        None,
        File,
        Text,
    };

    EncodeDialog(StegFlows& flows, UiPrompts& prompts, QWidget* parent = nullptr);

    // The modeless container preview, hidden until Preview.
    PreviewDialog* Preview() const { return PreviewWindow; }

    // What "A file" and "Existing Image" do once their prompt has given a
    // path; a file dropped on those buttons (or on the main window's Encode
    // button, as payload) goes here too.
    void ChoosePayloadFile(const QString& path);
    void ChooseContainerFile(const QString& path);
    void ChooseDroppedFile(const QString& path);

protected:
    void OnInitDialog() override;
    void OnOk() override;
    // Closes the preview window with the dialog.
    void done(int result) override;

private:
    void OnFileButton();
    void OnTypedTextButton();
    void OnExistingImageButton();
    void OnPreviewButton();

    bool LoadPayloadFile(const QString& path);
    bool CompressIntoPayload(const uint8_t* data, size_t length);
    void ReleasePayload();
    void ShowChosenPayload(const QString& what);
    void ShowChosenContainer();
    bool EncodeAndSave(const KeyEntry& key);
    EncodeRequest Draft() const;
    void ShowPayloadSize();
    void ShowContainerCapacity();
    void ShowFit();
    void FocusNextStep();
    QString FitText(const PayloadFit& fit) const;
    QString ShrinkText() const;
    void SaveEncodedImage(const EncodeResult& result);
    void SaveUntilWrittenOrCancelled(EncodedPreviewDialog& preview, const EncodeResult& result);
    void OnStealthToggled(bool ticked);
    void ShowStealthSizes();
    QString StealthLine(uint64_t dataBytes) const;
    void WarnOfStealthCover();
    bool StealthCoverAccepted();
    uint32_t PayloadSize() const;

    StegFlows& Flows;
    UiPrompts& Prompts;

    // UTF-8 bytes, as the text dialog gives them.
    std::string TypedText;
    // The zlib stream; empty when there is none (a stream is never empty).
    std::vector<uint8_t> Payload;
    // The size of what Payload was compressed from.
    uint64_t OriginalSize = 0;
    PayloadKind DataKind = PayloadKind::None;
    // Owned through its Qt parent, this dialog.
    PreviewDialog* PreviewWindow = nullptr;
    QString PayloadPath;
    // The chosen container's file name, shown below the buttons.
    QString ContainerName;
};

} // namespace lumaquill
