#pragma once

#include <QFont>
#include <QString>

namespace lumaquill {

// Maps a template's font face onto the fonts this desktop has. "MS Sans
// Serif" means the desktop's default user-interface font; a face the system
// has is used as it is; "Comic Sans MS" falls back to a casual face when one
// is installed; anything else becomes the default face. The point size is
// always kept.
class TemplateFont {
public:
    static QFont Resolve(const QString& face, int pointSize);
    // "MS Sans Serif" (or no face): the desktop's default face.
    static bool IsDefaultFace(const QString& face);
};

} // namespace lumaquill
