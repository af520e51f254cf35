#include "ui/UiResources.h"

#include "core/ProjectInfo.h"
#include "ui/StringTable.h"

#include <QFile>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterLumaquillResources()
{
    Q_INIT_RESOURCE(lumaquill);
}

namespace lumaquill {

namespace {

constexpr int AppIconId = 128;

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
    Init();
    return QPixmap(QStringLiteral(":/icons/%1.png").arg(id));
}

QPixmap UiResources::Bitmap(int id)
{
    Init();
    return QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(id));
}

QIcon UiResources::AppIcon()
{
    return QIcon::fromTheme(ApplicationId(), EmbeddedAppIcon());
}

QIcon UiResources::EmbeddedAppIcon()
{
    return QIcon(Icon(AppIconId));
}

QString UiResources::ApplicationId()
{
    return QString::fromLatin1(kApplicationId.data(), static_cast<qsizetype>(kApplicationId.size()));
}

} // namespace lumaquill
