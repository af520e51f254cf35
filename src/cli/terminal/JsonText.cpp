#include "cli/terminal/JsonText.h"

#include "cli/terminal/DisplayText.h"

#include <cstdint>

namespace lumaquill {

namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendUnicodeEscape(std::string& out, uint8_t codePoint)
{
    out += "\\u00";
    out += kHex[codePoint >> 4];
    out += kHex[codePoint & 0xF];
}

// U+0080 to U+009F are encoded C2 80 to C2 9F.
bool IsC1Control(std::string_view text, size_t i)
{
    return static_cast<uint8_t>(text[i]) == 0xC2 && i + 1 < text.size() && static_cast<uint8_t>(text[i + 1]) < 0xA0;
}

void AppendEscaped(std::string& out, uint8_t byte)
{
    switch (byte) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (byte < 0x20 || byte == 0x7F) {
        AppendUnicodeEscape(out, byte);
    } else {
        out += static_cast<char>(byte);
    }
}

} // namespace

std::string JsonText::Quote(std::string_view bytes)
{
    std::string text = DisplayText::ToUtf8(bytes);
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        // JSON allows the C1 controls raw, but a terminal showing the output
        // would act on them (U+009B opens a control sequence).
        if (IsC1Control(text, i))
            AppendUnicodeEscape(out, static_cast<uint8_t>(text[++i]));
        else
            AppendEscaped(out, static_cast<uint8_t>(text[i]));
    }
    out += '"';
    return out;
}

} // namespace lumaquill
