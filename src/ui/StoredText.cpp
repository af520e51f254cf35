// Stand-in until the dialog is built; replaced by its real implementation.
#include "ui/StoredText.h"

namespace lumaquill {

std::string ToStoredText(const QString& text) { return text.toStdString(); }
QString FromStoredText(const std::string& bytes) { return QString::fromStdString(bytes); }

} // namespace lumaquill
