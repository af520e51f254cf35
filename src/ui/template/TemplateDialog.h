#pragma once

// The Qt layer every Lumaquill dialog is built on.
//
// Declaring a dialog: keep its template as a constant in the dialog's own
// .cpp and hand it to TemplateDialog's constructor, e.g.
//
//     const DialogTemplate DecodeTemplate{
//         .Id = 145, .Caption = QStringLiteral("Decode"), .Width = 188, .Height = 198,
//         .Controls = {
//             {1053, ControlKind::PushButton, QStringLiteral("Image"), {7, 87, 79, 14}},
//             {kIdOk, ControlKind::PushButton, QStringLiteral("Decode"), {97, 141, 84, 50},
//                 ControlStyle::DefaultButton | ControlStyle::Picture},
//         }};
//
// Rectangles are in dialog units (DialogUnits); font, style bits and control
// kinds are in DialogTemplate.h. Controls are created in template order,
// which is also the tab order. When a single-line template text (static,
// check box, push button) runs wider in this desktop's face than its
// rectangle, every horizontal distance of the dialog is stretched by the
// same factor, so the layout keeps its proportions and no text is clipped.
//
// Finding controls: Control(id), or the typed Button, Static, Edit,
// MultiLineEdit, Combo, CheckBox and Progress (nullptr when the id is absent
// or of another kind); ControlText / SetControlText, IsChecked / SetChecked,
// EnableControl, ShowControl, SetReadOnly, AddComboItem and SetPicture work
// by id as the classic dialog calls do.
//
// Behaviour: OnInitDialog runs once, right before the dialog is first shown
// (exec or show), after the caller has set its members; it may end the
// dialog at once with EndDialog, and exec then returns without showing it.
// Control 1 calls OnOk and control 2 OnCancel; Escape and the close box call
// OnCancel too. Their defaults end the dialog with Accepted / Rejected.
// Enter presses the focused push button; with any other focus it presses
// the template's default button, else control 1.
// BindCommand(id, &Dialog::Handler) connects any other push button or
// check box. SetBanner(iconId, at) paints an icon resource on every repaint;
// a subclass that paints too calls TemplateDialog::paintEvent first.
// Fields of DialogTemplate must be designated in their declared order.
//
// Prompts and messages: every message box and file prompt goes through
// UiPrompts (ui/UiPrompts.h), which tests replace with ScriptedPrompts
// (tests/ui/GuiTestSupport.h, with ModalAction to act on the next modal
// dialog from inside its exec). The engine's Frontend (messages, busy cursor,
// progress window, save prompt) comes from QtFrontend. Pixel pictures:
// DrawDib and friends (ui/DibDrawing.h); resources: UiResources.

#include "ui/template/DialogTemplate.h"
#include "ui/template/DialogUnits.h"

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QAbstractButton;

namespace lumaquill {

class StepProgressBar;

class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    explicit TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~TemplateDialog() override;

    int TemplateId() const { return Id; }
    // Where SetBanner's icon is painted, and its size (empty without one).
    QPoint BannerPosition() const { return BannerAt; }
    QSize BannerSize() const;
    const DialogUnits& Units() const { return Dlu; }

    QWidget* Control(int id) const;
    QPushButton* Button(int id) const;
    QLabel* Static(int id) const;
    QLineEdit* Edit(int id) const;
    QPlainTextEdit* MultiLineEdit(int id) const;
    QComboBox* Combo(int id) const;
    QCheckBox* CheckBox(int id) const;
    StepProgressBar* Progress(int id) const;

    // A multi-line edit's text comes back with "\r\n" line breaks, as the
    // classic multi-line edit gives it, and takes "\r\n" or "\n". A picture
    // button's text is its template text (kept as its accessible name); a
    // combo box's is the text of its field or selected item. A button's or
    // check box's text comes back as shown, without its mnemonic marks.
    QString ControlText(int id) const;
    void SetControlText(int id, const QString& text);
    // A static's text shortened in the middle ("...") to fit its width, in
    // full as its tool tip; ControlText gives the full text.
    void SetElidedText(int id, const QString& text);
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    void EnableControl(int id, bool enabled);
    void ShowControl(int id, bool visible);
    void SetReadOnly(int id, bool readOnly);
    // Appends to a combo box's list, or inserts in order when it is sorted.
    void AddComboItem(int id, const QString& text);
    // The picture replaces the button's text; it is drawn in its own size,
    // or reduced (keeping its aspect) when the button is smaller.
    void SetPicture(int id, const QPixmap& picture);

    // Ends the dialog with this result (Accepted, Rejected or any other).
    void EndDialog(int result);
    // Sets the size of the whole window, frame included, keeping its place.
    void ResizeOuter(const QSize& size);

    int exec() override;
    void accept() override;
    void reject() override;

protected:
    virtual void OnInitDialog() { }
    virtual void OnOk() { EndDialog(Accepted); }
    virtual void OnCancel() { EndDialog(Rejected); }

    template <typename Dialog> void BindCommand(int id, void (Dialog::*handler)())
    {
        BindClicked(id, [this, handler] { (static_cast<Dialog*>(this)->*handler)(); });
    }

    // Paints an icon resource at a client position on every repaint. For
    // templates in the default face at 8 points the position is the one of
    // the classic layout (base units 6 x 13): when this font's base units
    // differ, the picture keeps its distance from the horizontal centre and
    // its vertical position scales with the dialog units, so it stays where
    // the layout put it relative to the controls.
    void SetBanner(int iconId, const QPoint& at);

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct BoundControl {
        ControlTemplate Template;
        QWidget* Widget;
    };

    double TextWidening(const std::vector<ControlTemplate>& controls) const;
    void CreateControls(const std::vector<ControlTemplate>& controls);
    void PlaceControl(const ControlTemplate& control, QWidget* widget) const;
    void ApplyWindowStyle(const DialogTemplate& dialogTemplate);
    const BoundControl* Find(int id) const;
    void BindClicked(int id, std::function<void()> handler);
    void EnsureInitialised();
    void PressEnter();
    QPushButton* CommandButton() const;

    int Id;
    DialogStyles Style;
    bool ClassicMetrics;
    QSize TemplateSize;
    DialogUnits Dlu;
    std::vector<BoundControl> Controls;
    QPixmap Banner;
    QPoint BannerAt;
    bool Initialised = false;
    bool Initialising = false;
    bool EndedDuringInit = false;
};

} // namespace lumaquill
