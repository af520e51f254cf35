#include "cli/JsonText.h"

#include "cli/DisplayText.h"

#include <cstdint>

namespace lumaquill {

namespace {

void AppendEscaped(std::string& out, uint8_t byte)
{
    static constexpr char kHex[] = "0123456789abcdef";
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
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    } else {
        out += static_cast<char>(byte);
    }
}

} // namespace

std::string JsonText::Quote(std::string_view bytes)
{
    std::string text = DisplayText::ToUtf8(bytes);
    std::string out = "\"";
    for (char ch : text)
        AppendEscaped(out, static_cast<uint8_t>(ch));
    out += '"';
    return out;
}

} // namespace lumaquill
