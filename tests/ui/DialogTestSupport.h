#pragma once

// Helpers for the tests of the encode and decode flows' dialogs: template
// checks, typing as a user does, and a small container loaded into a real
// engine. Header-only.

#include "engine/StegEngine.h"
#include "flows/StegFlows.h"
#include "image/SaveBmp24.h"
#include "ui/template/TemplateDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumaquill::test {

struct ControlCase {
    int Id;
    const char* ClassName;
    const char* Text;
    DluRect Rect;
};

// Each control exists with its kind, text and template rectangle.
inline void ExpectControls(const TemplateDialog& dialog, const std::vector<ControlCase>& cases)
{
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.Id);
        QWidget* control = dialog.Control(c.Id);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), c.ClassName);
        EXPECT_EQ(dialog.ControlText(c.Id), QString::fromUtf8(c.Text));
        if (c.Rect.Width > 0) {
            EXPECT_EQ(control->geometry(), dialog.Units().ToPixels(c.Rect));
        }
    }
}

// The texts of the dialog's labels, in creation order.
inline QStringList LabelTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

// The control that gets the focus when the window becomes the active one
// (headless windows are not activated by showing them).
inline QWidget* FocusWhenActivated(QWidget& window)
{
    QApplication::setActiveWindow(&window);
    return window.focusWidget();
}

inline void PressKey(QWidget* target, int key, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

// Types the text key by key; '\n' is the Enter key.
inline void TypeText(QWidget* target, const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            PressKey(target, Qt::Key_Return, QStringLiteral("\r"));
        else
            PressKey(target, c.isLetter() ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown, QString(c));
    }
}

inline QString TextOf(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

// A 24-bit container whose left half is one colour and right half another
// (colour values: blue in bits 0-7, green 8-15, red 16-23), written into a
// temporary folder and loaded into the engine.
class TestContainer {
public:
    TestContainer(int32_t width, int32_t height, uint32_t left, uint32_t right) { Load(width, height, left, right); }

    // Replaces the engine's container with a new picture.
    void Load(int32_t width, int32_t height, uint32_t left, uint32_t right)
    {
        const int32_t stride = (24 * width + 31) / 32 * 4;
        std::vector<uint8_t> rows(size_t(stride) * size_t(height), 0);
        for (int32_t row = 0; row < height; ++row) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t colour = x < width / 2 ? left : right;
                uint8_t* pixel = &rows[size_t(row) * size_t(stride) + size_t(3 * x)];
                pixel[0] = uint8_t(colour);
                pixel[1] = uint8_t(colour >> 8);
                pixel[2] = uint8_t(colour >> 16);
            }
        }
        const std::string path = Folder.filePath(QStringLiteral("container%1.bmp").arg(++Files)).toStdString();
        EXPECT_NE(SaveBmp24(path, width, height, rows), 0u);
        EXPECT_TRUE(Engine.LoadContainer(path));
    }

    QTemporaryDir Folder;
    StegEngine Engine;
    StegFlows Flows { Engine };

private:
    int Files = 0;
};

} // namespace lumaquill::test
