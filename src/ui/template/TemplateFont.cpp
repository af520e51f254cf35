#include "ui/template/TemplateFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace lumaquill {

namespace {

const QString kDefaultFace = QStringLiteral("MS Sans Serif");
const QString kCasualFace = QStringLiteral("Comic Sans MS");

QString InstalledCasualFamily()
{
    static const QStringList kCasualFamilies = {
        QStringLiteral("Comic Neue"),
        QStringLiteral("Comic Relief"),
        QStringLiteral("Chilanka"),
        QStringLiteral("Purisa"),
        QStringLiteral("Kalam"),
    };
    for (const QString& family : kCasualFamilies) {
        if (QFontDatabase::hasFamily(family))
            return family;
    }
    return QString();
}

QString FamilyFor(const QString& face)
{
    const QString desktop = QApplication::font().family();
    if (TemplateFont::IsDefaultFace(face))
        return desktop;
    if (QFontDatabase::hasFamily(face))
        return face;
    if (face == kCasualFace) {
        const QString casual = InstalledCasualFamily();
        if (!casual.isEmpty())
            return casual;
    }
    return desktop;
}

} // namespace

bool TemplateFont::IsDefaultFace(const QString& face)
{
    return face.isEmpty() || face == kDefaultFace;
}

QFont TemplateFont::Resolve(const QString& face, int pointSize)
{
    QFont font = QApplication::font();
    font.setFamily(FamilyFor(face));
    font.setPointSize(pointSize);
    return font;
}

} // namespace lumaquill
