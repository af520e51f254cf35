#include "cli/DisplayText.h"

#include "engine/StoredName.h"

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

// "\u202E" for a three-byte character that would reorder or hide what
// follows it on the terminal.
void AppendCodePointEscape(std::string& out, std::string_view s, size_t i)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const uint32_t codePoint = (uint32_t(uint8_t(s[i]) & 0x0F) << 12) | (uint32_t(uint8_t(s[i + 1]) & 0x3F) << 6)
        | (uint8_t(s[i + 2]) & 0x3F);
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(codePoint >> shift) & 0xF];
}

} // namespace

std::string DisplayText::ToUtf8(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

std::string DisplayText::ForTerminal(std::string_view bytes)
{
    std::string text = ToUtf8(bytes);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<uint8_t>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            AppendEscape(out, byte);
        } else if (IsC1Control(text, i)) {
            AppendEscape(out, static_cast<uint8_t>(text[++i]));
        } else if (IsInvisibleFormatAt(text, i)) {
            AppendCodePointEscape(out, text, i);
            i += kInvisibleFormatBytes - 1;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace lumaquill
