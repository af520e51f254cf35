#include "ui/template/TemplateDialog.h"

#include "ui/GuiTestSupport.h"
#include "ui/template/StepProgressBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

const DialogTemplate SampleTemplate{
    .Id = 900,
    .Caption = QStringLiteral("Sample"),
    .Width = 200,
    .Height = 130,
    .Controls = {
        {10, ControlKind::Static, QStringLiteral("Label"), {5, 5, 60, 8}},
        {11, ControlKind::Edit, QString(), {5, 15, 100, 12}, ControlStyle::AutoHScroll},
        {12, ControlKind::Edit, QString(), {5, 30, 100, 12}, ControlStyle::Password | ControlStyle::AutoHScroll},
        {13, ControlKind::Edit, QString(), {5, 45, 100, 40},
            ControlStyle::MultiLine | ControlStyle::WantReturn | ControlStyle::VScroll},
        {14, ControlKind::ComboBox, QString(), {110, 5, 80, 60}, ControlStyle::DropDown | ControlStyle::Sort,
            {QStringLiteral("pear"), QStringLiteral("Apple"), QStringLiteral("banana")}},
        {15, ControlKind::ComboBox, QString(), {110, 20, 80, 60}, ControlStyle::DropDownList,
            {QStringLiteral("Very Fast"), QStringLiteral("Fast")}},
        {16, ControlKind::CheckBox, QStringLiteral("Left"), {110, 35, 80, 10}, ControlStyle::LeftText},
        {17, ControlKind::ProgressBar, QString(), {110, 50, 80, 10}},
        {18, ControlKind::Edit, QString(), {110, 65, 40, 12}},
        {19, ControlKind::PushButton, QStringLiteral("Picture"), {110, 80, 40, 30}, ControlStyle::Picture},
        {20, ControlKind::PushButton, QStringLiteral("Hidden"), {155, 80, 40, 14}, ControlStyle::Hidden},
        {21, ControlKind::PushButton, QStringLiteral("Off"), {155, 96, 40, 14}, ControlStyle::Disabled},
        {22, ControlKind::Edit, QString(), {5, 90, 100, 12}, ControlStyle::MultiLine},
        {kIdOk, ControlKind::PushButton, QStringLiteral("OK"), {5, 112, 50, 14}, ControlStyle::DefaultButton},
        {kIdCancel, ControlKind::PushButton, QStringLiteral("Cancel"), {60, 112, 50, 14}},
    },
};

// Template texts in their rectangles fit at every font size: the dialog
// units grow with the font, and where this face runs wider than the
// template's, the whole layout is widened.
TEST(TemplateDialogTest, TemplateTextsFitTheirControlsAtEveryFontSize)
{
    for (int points : { 7, 8, 10, 12, 16, 24 }) {
        SCOPED_TRACE(points);
        DialogTemplate fitting { .Id = 901, .Caption = QStringLiteral("Fit"), .Width = 188, .Height = 198 };
        fitting.PointSize = points;
        fitting.Controls = {
            { 1, ControlKind::Static, QStringLiteral("What would you like to encode this into?"), { 8, 97, 129, 8 } },
            { 2, ControlKind::Static, QStringLiteral("From which image do you want to decode?"), { 7, 77, 136, 8 } },
            { 3, ControlKind::PushButton, QStringLiteral("Existing Image"), { 8, 107, 79, 14 } },
            { 4, ControlKind::CheckBox, QStringLiteral("or  Pure Noise Image"), { 99, 109, 82, 10 },
                ControlStyle::LeftText },
            { 5, ControlKind::CheckBox, QStringLiteral("Shrink to fit?"), { 7, 144, 55, 10 } },
        };
        TemplateDialog dialog(fitting);
        for (int id = 1; id <= 5; ++id) {
            QWidget* control = dialog.Control(id);
            EXPECT_LE(control->sizeHint().width(), control->width()) << id;
            EXPECT_LE(control->fontMetrics().height(), control->height()) << id;
        }
    }
}

struct KindCase {
    int Id;
    const char* ClassName;
};

TEST(TemplateDialogTest, BuildsEachControlKindAndFindsItById)
{
    TemplateDialog dialog(SampleTemplate);
    const KindCase cases[] = {
        { 10, "QLabel" },
        { 11, "QLineEdit" },
        { 13, "QPlainTextEdit" },
        { 14, "QComboBox" },
        { 16, "QCheckBox" },
        { 17, "lumaquill::StepProgressBar" },
        { kIdOk, "QPushButton" },
    };
    for (const KindCase& c : cases) {
        ASSERT_NE(dialog.Control(c.Id), nullptr) << c.Id;
        EXPECT_STREQ(dialog.Control(c.Id)->metaObject()->className(), c.ClassName) << c.Id;
    }
    EXPECT_EQ(dialog.Control(99), nullptr);
    EXPECT_EQ(dialog.Control(kNoControlId), nullptr);
    EXPECT_EQ(dialog.Button(10), nullptr);
    EXPECT_NE(dialog.Progress(17), nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Sample"));
    EXPECT_EQ(dialog.TemplateId(), 900);
}

TEST(TemplateDialogTest, PlacesControlsInDialogUnitsOfItsFont)
{
    TemplateDialog dialog(SampleTemplate);
    const DialogUnits& units = dialog.Units();
    EXPECT_EQ(units.BaseY(), QFontMetrics(dialog.font()).height());
    EXPECT_EQ(dialog.size(), units.ToPixels(200, 130));
    EXPECT_EQ(dialog.Control(10)->geometry(), units.ToPixels(DluRect { 5, 5, 60, 8 }));
    EXPECT_EQ(dialog.Control(kIdOk)->geometry(), units.ToPixels(DluRect { 5, 112, 50, 14 }));
    // A combo box's template height is its dropped list's; its field keeps its natural height.
    EXPECT_EQ(dialog.Combo(14)->height(), dialog.Combo(14)->sizeHint().height());
    EXPECT_EQ(dialog.Control(11)->font().pointSize(), 8);
}

TEST(TemplateDialogTest, ControlTextReadsAndWritesEveryKind)
{
    TemplateDialog dialog(SampleTemplate);
    dialog.SetControlText(10, QStringLiteral("<b>plain</b>"));
    EXPECT_EQ(dialog.ControlText(10), QStringLiteral("<b>plain</b>"));
    EXPECT_EQ(dialog.Static(10)->textFormat(), Qt::PlainText);
    dialog.SetControlText(12, QStringLiteral("secret"));
    EXPECT_EQ(dialog.ControlText(12), QStringLiteral("secret"));
    EXPECT_EQ(dialog.Edit(12)->echoMode(), QLineEdit::Password);
    dialog.SetControlText(14, QStringLiteral("typed question"));
    EXPECT_EQ(dialog.ControlText(14), QStringLiteral("typed question"));
    dialog.SetControlText(15, QStringLiteral("Fast"));
    EXPECT_EQ(dialog.Combo(15)->currentIndex(), 1);
    EXPECT_EQ(dialog.ControlText(16), QStringLiteral("Left"));
}

TEST(TemplateDialogTest, MultiLineEditGivesClassicLineBreaks)
{
    TemplateDialog dialog(SampleTemplate);
    dialog.SetControlText(13, QStringLiteral("one\r\ntwo\nthree"));
    EXPECT_EQ(dialog.MultiLineEdit(13)->toPlainText(), QStringLiteral("one\ntwo\nthree"));
    EXPECT_EQ(dialog.ControlText(13), QStringLiteral("one\r\ntwo\r\nthree"));
    EXPECT_EQ(dialog.MultiLineEdit(13)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    dialog.SetReadOnly(13, true);
    EXPECT_TRUE(dialog.MultiLineEdit(13)->isReadOnly());
}

TEST(TemplateDialogTest, SortedComboKeepsItsListSortedIgnoringCase)
{
    TemplateDialog dialog(SampleTemplate);
    QComboBox* sorted = dialog.Combo(14);
    dialog.AddComboItem(14, QStringLiteral("Cherry"));
    QStringList items;
    for (int i = 0; i < sorted->count(); ++i)
        items << sorted->itemText(i);
    EXPECT_EQ(items, QStringList({ "Apple", "banana", "Cherry", "pear" }));
    EXPECT_TRUE(sorted->isEditable());

    QComboBox* list = dialog.Combo(15);
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->currentIndex(), -1);
    dialog.AddComboItem(15, QStringLiteral("Apple"));
    EXPECT_EQ(list->itemText(2), QStringLiteral("Apple"));
}

TEST(TemplateDialogTest, EditWithoutAutoScrollTakesOnlyWhatFits)
{
    TemplateDialog dialog(SampleTemplate);
    const QValidator* validator = dialog.Edit(18)->validator();
    ASSERT_NE(validator, nullptr);
    QString fits = QStringLiteral("ab");
    QString tooLong(200, QLatin1Char('W'));
    int position = 0;
    EXPECT_EQ(validator->validate(fits, position), QValidator::Acceptable);
    EXPECT_EQ(validator->validate(tooLong, position), QValidator::Invalid);
    EXPECT_EQ(dialog.Edit(11)->validator(), nullptr);
}

TEST(TemplateDialogTest, PictureReplacesTextAndKeepsItAsAccessibleName)
{
    TemplateDialog dialog(SampleTemplate);
    QPixmap small(20, 10);
    small.fill(Qt::red);
    dialog.SetPicture(19, small);
    QPushButton* button = dialog.Button(19);
    EXPECT_TRUE(button->text().isEmpty());
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(button->iconSize(), QSize(20, 10));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Picture"));
    EXPECT_EQ(dialog.ControlText(19), QStringLiteral("Picture"));

    QPixmap large(1000, 500);
    large.fill(Qt::blue);
    dialog.SetPicture(19, large);
    EXPECT_LE(button->iconSize().width(), button->width());
    EXPECT_LE(button->iconSize().height(), button->height());
    EXPECT_NEAR(double(button->iconSize().width()) / button->iconSize().height(), 2.0, 0.1);
}

TEST(TemplateDialogTest, HiddenAndDisabledStylesApply)
{
    TemplateDialog dialog(SampleTemplate);
    dialog.show();
    EXPECT_FALSE(dialog.Control(20)->isVisible());
    EXPECT_FALSE(dialog.Control(21)->isEnabled());
    EXPECT_TRUE(dialog.Control(10)->isVisible());
    dialog.ShowControl(20, true);
    dialog.EnableControl(21, true);
    EXPECT_TRUE(dialog.Control(20)->isVisible());
    EXPECT_TRUE(dialog.Control(21)->isEnabled());
    EXPECT_EQ(dialog.CheckBox(16)->layoutDirection(), Qt::RightToLeft);
}

void SendKey(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

struct EndingCase {
    const char* Name;
    std::function<void(TemplateDialog&)> Act;
    int Result;
};

TEST(TemplateDialogTest, OkCancelEscapeCloseBoxAndEnterEndTheDialog)
{
    const EndingCase cases[] = {
        { "OkButton", [](TemplateDialog& d) { d.Button(kIdOk)->click(); }, QDialog::Accepted },
        { "CancelButton", [](TemplateDialog& d) { d.Button(kIdCancel)->click(); }, QDialog::Rejected },
        { "Escape", [](TemplateDialog& d) { SendKey(&d, Qt::Key_Escape); }, QDialog::Rejected },
        { "CloseBox", [](TemplateDialog& d) { d.close(); }, QDialog::Rejected },
        { "EnterInAnEdit", [](TemplateDialog& d) { SendKey(d.Edit(11), Qt::Key_Return); }, QDialog::Accepted },
        { "EnterInAPlainMultiLineEdit", [](TemplateDialog& d) { SendKey(d.MultiLineEdit(22), Qt::Key_Return); },
            QDialog::Accepted },
    };
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TemplateDialog dialog(SampleTemplate);
        test::ModalAction act([&](QWidget*) { c.Act(dialog); });
        EXPECT_EQ(dialog.exec(), c.Result);
        EXPECT_TRUE(act.Done());
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST(TemplateDialogTest, EnterInAMultiLineEditThatWantsItStartsANewLine)
{
    TemplateDialog dialog(SampleTemplate);
    dialog.show();
    dialog.MultiLineEdit(13)->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(dialog.MultiLineEdit(13), &press);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.MultiLineEdit(13)->blockCount(), 2);
}

// A layout like the encode dialog's: push buttons before a check box, no
// default button. Enter presses a focused push button; with a check box, a
// drop-down list or an edit focused (also after a push button had the
// focus) it is OK, control 1.
TEST(TemplateDialogTest, EnterIsControlOneUnlessAPushButtonHasTheFocus)
{
    const DialogTemplate buttonsFirst {
        .Id = 902,
        .Caption = QStringLiteral("Enter"),
        .Width = 120,
        .Height = 90,
        .Controls = {
            { 30, ControlKind::PushButton, QStringLiteral("A file"), { 5, 5, 50, 14 } },
            { 31, ControlKind::CheckBox, QStringLiteral("Shrink"), { 5, 25, 50, 10 } },
            { 32, ControlKind::ComboBox, QString(), { 5, 40, 50, 40 }, ControlStyle::DropDownList,
                { QStringLiteral("one") } },
            { 33, ControlKind::Edit, QString(), { 60, 40, 50, 12 }, ControlStyle::AutoHScroll },
            { kIdOk, ControlKind::PushButton, QStringLiteral("Ok"), { 60, 60, 50, 14 } },
        },
    };
    struct FocusCase {
        const char* Name;
        int Focus;
        int FilePresses;
        int OkPresses;
    };
    const FocusCase cases[] = {
        { "the push button", 30, 1, 0 },
        { "the check box", 31, 0, 1 },
        { "the drop-down list", 32, 0, 1 },
        { "the edit", 33, 0, 1 },
    };
    for (const FocusCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TemplateDialog dialog(buttonsFirst);
        int file = 0;
        int ok = 0;
        QObject::connect(dialog.Button(30), &QPushButton::clicked, [&] { ++file; });
        QObject::connect(dialog.Button(kIdOk), &QPushButton::clicked, [&] { ++ok; });
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        dialog.Control(30)->setFocus();
        dialog.Control(c.Focus)->setFocus();
        ASSERT_EQ(dialog.focusWidget(), dialog.Control(c.Focus));
        SendKey(dialog.Control(c.Focus), Qt::Key_Return);
        EXPECT_EQ(file, c.FilePresses);
        EXPECT_EQ(ok, c.OkPresses);
    }
}

class HookedDialog : public TemplateDialog {
public:
    HookedDialog()
        : TemplateDialog(SampleTemplate)
    {
        BindCommand(19, &HookedDialog::OnPicture);
    }

    int EndAtInit = 0;
    int SeenAtInit = -1;
    int Inits = 0;
    int Oks = 0;
    int Pictures = 0;
    int Setting = 0;

protected:
    void OnInitDialog() override
    {
        ++Inits;
        SeenAtInit = Setting;
        if (EndAtInit != 0)
            EndDialog(EndAtInit);
    }
    // Stays open: counts instead.
    void OnOk() override { ++Oks; }

private:
    void OnPicture() { ++Pictures; }
};

TEST(TemplateDialogTest, InitialisationRunsOnceBeforeTheFirstShowWithTheCallersSettings)
{
    HookedDialog dialog;
    dialog.Setting = 5;
    EXPECT_EQ(dialog.Inits, 0);
    dialog.show();
    dialog.hide();
    dialog.show();
    EXPECT_EQ(dialog.Inits, 1);
    EXPECT_EQ(dialog.SeenAtInit, 5);
}

TEST(TemplateDialogTest, InitialisationMayEndTheDialogWithoutShowingIt)
{
    HookedDialog dialog;
    dialog.EndAtInit = 7;
    EXPECT_EQ(dialog.exec(), 7);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(TemplateDialogTest, HandlersReplaceTheDefaultsAndCommandsAreBound)
{
    HookedDialog dialog;
    test::ModalAction act([&](QWidget*) {
        dialog.Button(kIdOk)->click();
        dialog.accept();
        dialog.Button(19)->click();
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.Oks, 2);
    EXPECT_EQ(dialog.Pictures, 1);
}

TEST(StepProgressBarTest, KeepsItsStepClampsPositionsAndStartsOverPastTheEnd)
{
    StepProgressBar bar;
    bar.SetRange32(3);
    bar.SetStep(1);
    bar.SetPos(0);
    bar.StepIt();
    bar.StepIt();
    EXPECT_EQ(bar.value(), 2);
    bar.StepIt();
    EXPECT_EQ(bar.value(), 3);
    bar.StepIt();
    EXPECT_EQ(bar.value(), 0);
    bar.SetPos(50);
    EXPECT_EQ(bar.value(), 3);
    bar.SetRange32(0xFFFFFFFFu);
    EXPECT_EQ(bar.maximum(), INT_MAX);
    EXPECT_FALSE(bar.isTextVisible());
}

} // namespace
} // namespace lumaquill
