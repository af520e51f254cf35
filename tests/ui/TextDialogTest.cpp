#include "ui/dialogs/TextDialog.h"

#include "ui/DialogTestSupport.h"
#include "ui/GuiTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

constexpr int TextEditId = 1016;

TEST(TextDialogTest, HasItsTemplateControls)
{
    TextDialog dialog;
    EXPECT_EQ(dialog.TemplateId(), 131);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Text"));
    EXPECT_EQ(dialog.size(), dialog.Units().ToPixels(296, 169));
    test::ExpectControls(dialog,
        {
            { TextEditId, "QPlainTextEdit", "", { 7, 7, 282, 133 } },
            { kIdOk, "QPushButton", "OK", { 186, 148, 50, 14 } },
            { kIdCancel, "QPushButton", "Cancel", { 239, 148, 50, 14 } },
        });
    EXPECT_TRUE(dialog.Button(kIdOk)->isDefault());
    EXPECT_EQ(dialog.MultiLineEdit(TextEditId)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(dialog.MultiLineEdit(TextEditId)->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

TEST(TextDialogTest, EntryModeWithoutTextStartsEmptyAndWritable)
{
    TextDialog dialog;
    EXPECT_EQ(dialog.Mode, TextDialog::EntryMode);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Text to Encode"));
    EXPECT_TRUE(dialog.ControlText(TextEditId).isEmpty());
    EXPECT_FALSE(dialog.MultiLineEdit(TextEditId)->isReadOnly());
    EXPECT_TRUE(dialog.Button(kIdOk)->isVisible());
    EXPECT_EQ(dialog.ControlText(kIdCancel), QStringLiteral("Cancel"));
    EXPECT_EQ(test::FocusWhenActivated(dialog), dialog.MultiLineEdit(TextEditId));
}

// Enter starts a new line; the text is kept with the edit's CR LF breaks
// and stored as UTF-8.
TEST(TextDialogTest, EntryModeOkStoresTheTypedTextAsUtf8WithCrLf)
{
    TextDialog dialog;
    test::ModalAction type([&](QWidget*) {
        test::TypeText(dialog.MultiLineEdit(TextEditId), QStringLiteral("Dear caf\u00E9\nsee you"));
        EXPECT_TRUE(dialog.isVisible());
        dialog.Button(kIdOk)->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(type.Done());
    EXPECT_EQ(dialog.Text, "Dear caf\xC3\xA9\r\nsee you");
}

TEST(TextDialogTest, EntryModeShowsTheCallersTextAndOkReturnsItUnchanged)
{
    TextDialog dialog;
    dialog.Text = "first\r\nsecond\r\n\r\nfourth";
    test::ModalAction confirm([&](QWidget*) {
        EXPECT_EQ(dialog.MultiLineEdit(TextEditId)->toPlainText(), QStringLiteral("first\nsecond\n\nfourth"));
        dialog.Button(kIdOk)->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Text, "first\r\nsecond\r\n\r\nfourth");
}

TEST(TextDialogTest, EntryModeCancelKeepsTheTextEvenAfterEditing)
{
    const std::pair<const char*, std::function<void(TextDialog&)>> cancels[] = {
        { "Cancel button", [](TextDialog& dialog) { dialog.Button(kIdCancel)->click(); } },
        { "Escape", [](TextDialog& dialog) { test::PressKey(&dialog, Qt::Key_Escape); } },
        { "close box", [](TextDialog& dialog) { dialog.close(); } },
    };
    for (const auto& [name, cancel] : cancels) {
        SCOPED_TRACE(name);
        TextDialog dialog;
        dialog.Text = "kept";
        test::ModalAction edit([&](QWidget*) {
            test::TypeText(dialog.MultiLineEdit(TextEditId), QStringLiteral(" and more"));
            cancel(dialog);
        });
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_EQ(dialog.Text, "kept");
    }
}

TEST(TextDialogTest, DisplayModeShowsTheTextReadOnlyWithCloseAndNoOk)
{
    TextDialog dialog;
    dialog.Mode = TextDialog::DisplayMode;
    dialog.Text = "decoded\r\nlines \xE2\x82\xAC";
    test::ModalAction look([&](QWidget*) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Decoded Text"));
        EXPECT_TRUE(dialog.MultiLineEdit(TextEditId)->isReadOnly());
        EXPECT_EQ(dialog.MultiLineEdit(TextEditId)->toPlainText(), QStringLiteral("decoded\nlines \u20AC"));
        EXPECT_FALSE(dialog.Button(kIdOk)->isVisible());
        EXPECT_EQ(dialog.ControlText(kIdCancel), QStringLiteral("Close"));
        // Enter neither edits the text nor presses a hidden OK.
        test::PressKey(dialog.MultiLineEdit(TextEditId), Qt::Key_Return, QStringLiteral("\r"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.ControlText(TextEditId), QStringLiteral("decoded\r\nlines \u20AC"));
        dialog.Button(kIdCancel)->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.Text, "decoded\r\nlines \xE2\x82\xAC");
}

// A decoded text from an older build may hold Windows-1252 bytes.
TEST(TextDialogTest, DisplayModeShowsBytesThatAreNotUtf8AsWindows1252)
{
    TextDialog dialog;
    dialog.Mode = TextDialog::DisplayMode;
    dialog.Text = "na\xEFve \x93quote\x94";
    dialog.show();
    EXPECT_EQ(dialog.ControlText(TextEditId), QStringLiteral("na\u00EFve \u201Cquote\u201D"));
}

// The decoded text is easy to take along: a Copy button beside Close, and
// Ctrl+C with nothing selected copies it all (a selection copies as usual).
TEST(TextDialogTest, DecodedTextIsCopiedWholeByTheCopyButtonOrCtrlC)
{
    TextDialog dialog;
    dialog.Mode = TextDialog::DisplayMode;
    dialog.Text = "first line\r\nsecond line";
    dialog.show();
    QPushButton* copy = dialog.Button(TextDialog::kCopyButtonId);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->isVisible());
    EXPECT_EQ(copy->text(), QStringLiteral("&Copy"));
    EXPECT_LT(copy->x(), dialog.Button(kIdCancel)->x());
    const QString whole = QStringLiteral("first line\nsecond line");

    QGuiApplication::clipboard()->clear();
    copy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), whole);
    EXPECT_TRUE(dialog.isVisible());

    QPlainTextEdit* edit = dialog.MultiLineEdit(1016);
    QGuiApplication::clipboard()->clear();
    QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
    QApplication::sendEvent(edit, &ctrlC);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), whole);

    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    QKeyEvent again(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
    QApplication::sendEvent(edit, &again);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("first"));
}

TEST(TextDialogTest, TheCopyButtonIsHiddenWhileTyping)
{
    TextDialog dialog;
    dialog.show();
    EXPECT_FALSE(dialog.Button(TextDialog::kCopyButtonId)->isVisible());
}

} // namespace
} // namespace lumaquill
