#pragma once

#include "ui/template/TemplateDialog.h"

namespace lumaquill {

class EngineRunScope;
class PreviewDialog;
class StegFlows;
class UiPrompts;
struct DecodeResult;

// Where the user recovers a payload (template 145, "Decode"): chooses the
// container (loaded into the application's engine, where it stays after
// the dialog), and runs the decode through the flows: the password or the
// stored questions, then the text shown or the file saved. A JPEG is opened
// as a stealth JPEG.
class DecodeDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kBannerIconId = 141;
    static constexpr int kDecodePictureId = 143;
    static constexpr int kImageButtonId = 1053;
    static constexpr int kPreviewButtonId = 1000;
    // The chosen image and its size in pixels, in a line below the buttons.
    static constexpr int kChosenImageId = 1070;

    DecodeDialog(StegFlows& flows, UiPrompts& prompts, QWidget* parent = nullptr);

    // The modeless container preview, hidden until Preview.
    PreviewDialog* Preview() const { return PreviewWindow; }

    // What "Image" does once its prompt has given a path; a file dropped on
    // the Image or Decode button (or the main window's Decode button) goes
    // here too.
    void ChooseImageFile(const QString& path);

protected:
    void OnInitDialog() override;
    void OnOk() override;
    // Closes the preview window with the dialog.
    void done(int result) override;

private:
    void OnImageButton();
    void OnPreviewButton();
    DecodeResult SavedOrDeclined(EngineRunScope& run, DecodeResult result);
    bool Delivered(const DecodeResult& result);
    void ShowChosenImage();

    StegFlows& Flows;
    UiPrompts& Prompts;
    // Owned through its Qt parent, this dialog.
    PreviewDialog* PreviewWindow = nullptr;
    // The chosen image's file name, shown below the buttons.
    QString ImageName;
};

} // namespace lumaquill
