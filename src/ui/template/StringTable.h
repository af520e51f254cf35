#pragma once

#include <QByteArray>
#include <QString>
#include <map>

namespace lumaquill {

// Strings keyed by id, parsed from UTF-8 lines "<id><TAB><text>". Blank
// lines and lines starting with '#' are skipped, as are lines whose id is
// not a number; a later line with the same id replaces an earlier one.
class StringTable {
public:
    static StringTable Parse(const QByteArray& utf8);

    // The empty string when the id is absent.
    QString Get(int id) const;
    bool Contains(int id) const { return Strings.count(id) != 0; }

private:
    std::map<int, QString> Strings;
};

} // namespace lumaquill
