#include "cli/terminal/DisplayText.h"

#include "io/Utf8.h"

#include <cstdint>

namespace lumaquill {

namespace {

// U+0080 to U+009F are encoded C2 80 to C2 9F.
bool IsC1Control(std::string_view s, size_t i)
{
    return static_cast<uint8_t>(s[i]) == 0xC2 && i + 1 < s.size() && static_cast<uint8_t>(s[i + 1]) < 0xA0;
}

void AppendEscape(std::string& out, uint8_t value)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[value >> 4];
    out += kHex[value & 0xF];
}

// "\u202E", or "\U000E0041" beyond U+FFFF, for a character that would
// reorder or hide what follows it on the terminal.
void AppendCodePointEscape(std::string& out, uint32_t codePoint)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const int digits = codePoint > 0xFFFF ? 8 : 4;
    out += digits == 8 ? "\\U" : "\\u";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kHex[(codePoint >> shift) & 0xF];
}

} // namespace

std::string DisplayText::ToUtf8(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

std::string DisplayText::ForTerminal(std::string_view bytes)
{
    return Escaped(bytes, false);
}

std::string DisplayText::TextForTerminal(std::string_view bytes)
{
    return Escaped(bytes, true);
}

std::string DisplayText::Escaped(std::string_view bytes, bool keepLines)
{
    std::string text = ToUtf8(bytes);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<uint8_t>(text[i]);
        if (keepLines && (byte == '\n' || byte == '\t')) {
            out += text[i];
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendEscape(out, byte);
        } else if (IsC1Control(text, i)) {
            AppendEscape(out, static_cast<uint8_t>(text[++i]));
        } else if (const size_t length = InvisibleCharacterAt(text, i); length > 0) {
            AppendCodePointEscape(out, CodePointAt(text, i, length));
            i += length - 1;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace lumaquill
