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

    // The empty string (or a null pixmap) when the id is unknown. Pictures
    // come at the resolution that suits the screens (Artwork).
    static QString String(int id);
    static QPixmap Icon(int id);
    static QPixmap Bitmap(int id);
    // The window icon: the installed icon of the desktop's theme, named
    // after the application id, or else the program's own icon 128 in all
    // its resolutions.
    static QIcon AppIcon();
    static QIcon EmbeddedAppIcon();
    // The desktop application id, e.g. "io.github.lumaquill.Lumaquill": the
    // name of the menu entry (without ".desktop") and of the themed icon.
    static QString ApplicationId();

    // The picture base + ".png" drawn for a device pixel ratio: the file
    // base + "@3x.png" or "@2x.png" for ratios above 2 or above 1 (the
    // nearest smaller one when that is missing), marked with its ratio so
    // that it keeps the logical size of the 1x picture.
    static QPixmap Artwork(const QString& base, qreal ratio);
};

} // namespace lumaquill
