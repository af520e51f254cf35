#pragma once

#include <QString>
#include <QStringList>

namespace lumaquill {

// Converts a classic filter string of description|pattern pairs ended by
// two bars ("All files (*.*)|*.*||") into Qt name filters. Each becomes
// "description (patterns)": patterns separated by ';' are separated by
// spaces, and "*.*" means every file ("*"), names without a dot included.
// Prompts hide the appended "(patterns)", so the user sees the description
// exactly as given. The list ends at the first empty field, as the double
// bar ends it; a pair whose patterns are all blank is dropped.
class FileFilter {
public:
    static QStringList ToQtFilters(const QString& filter);
    static QString ToQtPatterns(const QString& patterns);
};

} // namespace lumaquill
