#include "ui/qt/FileFilter.h"

namespace lumaquill {

QString FileFilter::ToQtPatterns(const QString& patterns)
{
    QStringList converted;
    const QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        converted << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    return converted.join(QLatin1Char(' '));
}

QStringList FileFilter::ToQtFilters(const QString& filter)
{
    // The list ends at the first empty field: the closing double bar.
    const QStringList fields = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        const QString& description = fields[i];
        if (description.isEmpty() || fields[i + 1].isEmpty())
            break;
        const QString patterns = ToQtPatterns(fields[i + 1]);
        if (!patterns.isEmpty())
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

} // namespace lumaquill
