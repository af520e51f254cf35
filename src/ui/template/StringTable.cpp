#include "ui/template/StringTable.h"

#include <QList>

namespace lumaquill {

StringTable StringTable::Parse(const QByteArray& utf8)
{
    StringTable table;
    const QList<QByteArray> lines = utf8.split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype tab = line.indexOf('\t');
        if (line.isEmpty() || line.startsWith('#') || tab <= 0)
            continue;
        bool isNumber = false;
        const int id = line.left(tab).trimmed().toInt(&isNumber);
        if (isNumber)
            table.Strings[id] = QString::fromUtf8(line.mid(tab + 1));
    }
    return table;
}

QString StringTable::Get(int id) const
{
    const auto found = Strings.find(id);
    return found == Strings.end() ? QString() : found->second;
}

} // namespace lumaquill
