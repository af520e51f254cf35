#include "cli/DisplayText.h"

#include <array>
#include <cstdint>

namespace lumaquill {

namespace {

// Windows-1252 code points of the bytes 0x80 to 0x9F; the five bytes the
// code page leaves undefined keep their own value, as Windows maps them.
// clang-format off
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at the start of s, or 0.
size_t SequenceLength(std::string_view s)
{
    auto at = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    auto continuation = [&](size_t i) { return i < s.size() && (at(i) & 0xC0) == 0x80; };
    uint8_t lead = at(0);
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    for (size_t i = 1; i < length; ++i) {
        if (!continuation(i))
            return 0;
    }
    // The second byte's range rules out overlong forms, surrogates and code
    // points above U+10FFFF.
    uint8_t second = at(1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

std::string FromCp1252(std::string_view bytes)
{
    std::string out;
    for (char ch : bytes) {
        auto byte = static_cast<uint8_t>(ch);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char32_t(byte));
    }
    return out;
}

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

} // namespace

bool DisplayText::IsValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        size_t length = SequenceLength(bytes.substr(i));
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string DisplayText::ToUtf8(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : FromCp1252(bytes);
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
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace lumaquill
