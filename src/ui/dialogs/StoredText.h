#pragma once

#include <QString>
#include <string>

namespace lumaquill {

// Texts cross between the user interface and the core as bytes. What the
// user types is stored as UTF-8; a stored text that is not valid UTF-8 (an
// image from an older build) is shown as Windows-1252, so it is never lost
// as garbage.
std::string ToStoredText(const QString& text);
QString FromStoredText(const std::string& bytes);

} // namespace lumaquill
