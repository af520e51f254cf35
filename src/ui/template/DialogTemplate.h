#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace lumaquill {

// The id of controls that are never looked up (labels).
constexpr int kNoControlId = -1;
// Standard command ids: by default they end the dialog with accept / reject.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// A rectangle in dialog units: x, y, width, height. One horizontal unit is
// a quarter of the dialog font's average character width, one vertical unit
// an eighth of its character height (see DialogUnits).
struct DluRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

enum class ControlKind {
    Static, // QLabel
    PushButton, // QPushButton
    Edit, // QLineEdit, or QPlainTextEdit with MultiLine
    ComboBox, // QComboBox; DropDownList or DropDown
    CheckBox, // QCheckBox, ticked and unticked by clicks
    ProgressBar, // StepProgressBar
};

enum class ControlStyle : uint32_t {
    None = 0,
    DefaultButton = 1u << 0, // push button: pressed by Enter
    Picture = 1u << 1, // push button: shows the picture given to SetPicture instead of its text
    WordWrap = 1u << 2, // static: several lines, words wrapped at the right edge
    MultiLine = 1u << 3, // edit: several lines, words wrapped
    WantReturn = 1u << 4, // multi-line edit: Enter starts a new line instead of pressing the default button
    VScroll = 1u << 5, // multi-line edit: vertical scroll bar
    Password = 1u << 6, // edit: characters masked
    AutoHScroll = 1u << 7, // edit or editable combo: without it the text is limited to what fits the field
    ReadOnly = 1u << 8, // edit
    DropDownList = 1u << 9, // combo: pick from the list only
    DropDown = 1u << 10, // combo: editable field with a drop-down list
    Sort = 1u << 11, // combo: the list is kept sorted alphabetically (ignoring case)
    LeftText = 1u << 12, // check box: text left of the box
    Border = 1u << 13, // static: sunken border
    Centre = 1u << 16, // static: text centred in its rectangle
    Disabled = 1u << 14,
    Hidden = 1u << 15,
};
Q_DECLARE_FLAGS(ControlStyles, ControlStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlStyles)

struct ControlTemplate {
    int Id = kNoControlId;
    ControlKind Kind = ControlKind::Static;
    QString Text;
    // For a combo box only x, y and width count: the height of its field
    // follows from the font, the template's height is the dropped list's.
    DluRect Rect;
    ControlStyles Style = {};
    // A combo box's initial list.
    QStringList Items = {};
};

enum class DialogStyle : uint32_t {
    None = 0,
    TitleBar = 1u << 0, // caption, close box and window menu; no minimise or maximise box
    NoTitleBar = 1u << 1, // pop-up with a dialog frame and no caption
    StayOnTop = 1u << 2, // kept above other windows
    Resizable = 1u << 3, // the user may resize it
};
Q_DECLARE_FLAGS(DialogStyles, DialogStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogStyles)

// The template of one dialog: its size (client area) in dialog units, its
// font, and its controls in tab order. Each dialog keeps its template as a
// constant in its own source file.
struct DialogTemplate {
    int Id = 0;
    QString Caption;
    int Width = 0;
    int Height = 0;
    // "MS Sans Serif" stands for the desktop's default user-interface font.
    QString FontFace = QStringLiteral("MS Sans Serif");
    int PointSize = 8;
    DialogStyles Style = DialogStyle::TitleBar;
    std::vector<ControlTemplate> Controls = {};
};

} // namespace lumaquill
