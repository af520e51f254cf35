#pragma once

#include "ui/template/TemplateDialog.h"

#include <cstdint>
#include <string>

namespace lumaquill {

// The multi-line text window (template 131): takes the text to encode, or
// shows a decoded text read-only, with a Copy button that puts the whole
// text on the clipboard. Ctrl+C with nothing selected copies the whole text
// too, in either mode.
class TextDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kCopyButtonId = 1017;

    enum TextMode : int32_t {
        DisplayMode = 0,
        EntryMode = 1,
    };

    explicit TextDialog(QWidget* parent = nullptr);

    // Set before the dialog runs.
    int32_t Mode = EntryMode;
    // The text as bytes: what the user types is stored as UTF-8; a text that
    // is not valid UTF-8 (from an image of an older build) is shown as
    // Windows-1252. After OK it holds the edit's whole text, line breaks as
    // CR LF.
    std::string Text;

protected:
    void OnInitDialog() override;
    void OnOk() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CopyAll();
};

} // namespace lumaquill
