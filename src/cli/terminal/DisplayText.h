#pragma once

#include <string>
#include <string_view>

namespace lumaquill {

// Texts read from an image (questions, hints, decoded texts) prepared for
// showing.
// Newer images hold UTF-8; older ones hold Windows-1252 bytes.
class DisplayText {
public:
    // Valid UTF-8 unchanged; anything else read as Windows-1252.
    static std::string ToUtf8(std::string_view bytes);
    // ToUtf8 with every control character (C0, DEL, C1) shown as "\xNN" and
    // every invisible or direction-changing character (IsInvisibleCodePoint)
    // as "\uNNNN" or "\UNNNNNNNN", so that a stored text or name cannot
    // steer the terminal or read as something else.
    static std::string ForTerminal(std::string_view bytes);
    // ForTerminal for a decoded text of many lines: line feeds and tabs are
    // kept as they are.
    static std::string TextForTerminal(std::string_view bytes);

private:
    static std::string Escaped(std::string_view bytes, bool keepLines);
};

} // namespace lumaquill
