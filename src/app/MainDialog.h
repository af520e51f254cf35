#pragma once

#include "ui/template/TemplateDialog.h"

class QAction;
class QMenu;

namespace lumaquill {

class StegFlows;
class UiPrompts;

// The main window (template 140): the banner, the Encode and Decode picture
// buttons, the notice and the promotional line. Its window menu (the
// context menu here, where the window manager owns the title-bar menu; the
// real system menu on Windows) ends with the About entry, which F1 opens
// too.
class MainDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kEncodeButtonId = 1048;
    static constexpr int kDecodeButtonId = 1049;
    static constexpr int kNoticeId = 1059;
    static constexpr int kPromoLineId = 1060;
    static constexpr int kAboutButtonId = 1061;
    static constexpr int kAboutCommand = 16;
    static constexpr int kCloseCommand = 0xF060;

    MainDialog(StegFlows& flows, UiPrompts& prompts, QWidget* parent = nullptr);

    // The window menu; null until the window has been initialised.
    QMenu* WindowMenu() const { return Menu; }
    // A window-menu command; the low four bits belong to the platform.
    void OnSysCommand(int command);
    // Draws a promotional line afresh from the runtime generator.
    void PromoLine();
    // The decode dialog with the picture chosen: a picture dropped on
    // Decode, or given on the command line.
    void DecodePicture(const QString& path);

protected:
    void OnInitDialog() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void OnEncode();
    void OnDecode();
    void EncodeDropped(const QString& path);
    void DecodeDropped(const QString& path);
    void OpenAbout();
    void BuildWindowMenu();
#ifdef Q_OS_WIN
    void AppendToSystemMenu(const QString& text);
#endif

    StegFlows& Flows;
    UiPrompts& Prompts;
    QMenu* Menu = nullptr;
};

} // namespace lumaquill
