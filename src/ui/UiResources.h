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
    // Icon 128, the window icon.
    static QIcon AppIcon();
};

} // namespace lumaquill
