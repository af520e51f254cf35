#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace lumaquill {

// The program's resources, compiled in from res/lumaquill.qrc: the string
// table (res/strings.txt), icons 128 and 141 and bitmaps 142 and 143.
class UiResources {
public:
    // Registers the resource file; the ui library is static, so its
    // resources must be registered explicitly. Every loader calls it.
    static void Init();

    // The empty string (or a null pixmap) when the id is unknown.
    static QString String(int id);
    static QPixmap Icon(int id);
    static QPixmap Bitmap(int id);
    // The window icon: the installed icon of the desktop's theme, named
    // after the application id, or else the program's own icon 128.
    static QIcon AppIcon();
    static QIcon EmbeddedAppIcon();
    // The desktop application id, e.g. "example.lumaquill.Lumaquill": the
    // name of the menu entry (without ".desktop") and of the themed icon.
    static QString ApplicationId();
};

} // namespace lumaquill
