#include "ui/template/UiResources.h"

#include "core/ProjectInfo.h"
#include "ui/template/StringTable.h"

#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterLumaquillResources()
{
    Q_INIT_RESOURCE(lumaquill);
}

namespace lumaquill {

namespace {

constexpr int kAppIconId = 128;
// The artwork is drawn at 1x, 2x and 3x.
constexpr int kHighestArtworkScale = 3;

qreal ScreenRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

const StringTable& Strings()
{
    static const StringTable table = [] {
        QFile file(QStringLiteral(":/strings.txt"));
        return StringTable::Parse(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }();
    return table;
}

} // namespace

void UiResources::Init()
{
    static const bool registered = (RegisterLumaquillResources(), true);
    (void)registered;
}

QString UiResources::String(int id)
{
    Init();
    return Strings().Get(id);
}

QPixmap UiResources::Icon(int id)
{
    return Artwork(QStringLiteral(":/icons/%1").arg(id), ScreenRatio());
}

QPixmap UiResources::Bitmap(int id)
{
    return Artwork(QStringLiteral(":/bitmaps/%1").arg(id), ScreenRatio());
}

QIcon UiResources::AppIcon()
{
    return QIcon::fromTheme(ApplicationId(), EmbeddedAppIcon());
}

QIcon UiResources::EmbeddedAppIcon()
{
    Init();
    const QString base = QStringLiteral(":/icons/%1").arg(kAppIconId);
    QIcon icon(base + QStringLiteral(".png"));
    for (int scale = 2; scale <= kHighestArtworkScale; ++scale)
        icon.addFile(base + QStringLiteral("@%1x.png").arg(scale));
    return icon;
}

QPixmap UiResources::Artwork(const QString& base, qreal ratio)
{
    Init();
    const int wanted = std::clamp(static_cast<int>(std::ceil(ratio)), 1, kHighestArtworkScale);
    for (int scale = wanted; scale > 1; --scale) {
        QPixmap picture(base + QStringLiteral("@%1x.png").arg(scale));
        if (!picture.isNull()) {
            picture.setDevicePixelRatio(scale);
            return picture;
        }
    }
    return QPixmap(base + QStringLiteral(".png"));
}

QString UiResources::ApplicationId()
{
    return QString::fromLatin1(kApplicationId.data(), static_cast<qsizetype>(kApplicationId.size()));
}

} // namespace lumaquill
