#include "io/Utf8.h"

#include "io/InvisibleCharacterTable.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <iterator>

namespace lumaquill {

namespace {

// Length of the sequence a lead byte opens, 0 for a byte that cannot open one.
size_t SequenceLength(uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The range the second byte must lie in, which rules out overlong forms,
// surrogates and code points above U+10FFFF.
bool SecondByteFits(uint8_t lead, uint8_t second)
{
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return IsUtf8Continuation(second);
    }
}

void AppendUtf8(std::string& out, uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

constexpr bool AscendingAndApart(const auto& ranges)
{
    for (size_t i = 0; i < ranges.size(); ++i) {
        if (ranges[i].First > ranges[i].Last || (i > 0 && ranges[i - 1].Last + 1 >= ranges[i].First))
            return false;
    }
    return true;
}
static_assert(AscendingAndApart(unicode::kInvisibleRanges), "the binary search needs sorted, disjoint ranges");

} // namespace

bool IsUtf8Continuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

size_t ValidSequenceAt(std::string_view text, size_t at)
{
    const auto lead = static_cast<uint8_t>(text[at]);
    const size_t length = SequenceLength(lead);
    if (length == 0 || at + length > text.size())
        return 0;
    if (length > 1 && !SecondByteFits(lead, static_cast<uint8_t>(text[at + 1])))
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (!IsUtf8Continuation(static_cast<uint8_t>(text[at + i])))
            return 0;
    }
    return length;
}

size_t TruncatedTailStart(std::string_view text)
{
    size_t at = text.size();
    for (int back = 0; back < 3 && at > 0; ++back) {
        --at;
        const auto byte = static_cast<uint8_t>(text[at]);
        if (!IsUtf8Continuation(byte)) {
            const size_t length = SequenceLength(byte);
            return length > text.size() - at ? at : text.size();
        }
    }
    return text.size();
}

uint32_t CodePointAt(std::string_view text, size_t at, size_t length)
{
    static constexpr uint8_t kLeadBits[] = { 0, 0x7F, 0x1F, 0x0F, 0x07 };
    assert(length >= 1 && length <= 4 && at + length <= text.size());
    uint32_t codePoint = static_cast<uint8_t>(text[at]) & kLeadBits[length];
    for (size_t i = 1; i < length; ++i)
        codePoint = (codePoint << 6) | (static_cast<uint8_t>(text[at + i]) & 0x3F);
    return codePoint;
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        const size_t length = ValidSequenceAt(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view text)
{
    static constexpr std::array<uint16_t, 32> kHighControls = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020,
        0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D,
        0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<uint8_t>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
    }
    return out;
}

bool IsInvisibleCodePoint(uint32_t codePoint)
{
    const auto& ranges = unicode::kInvisibleRanges;
    const auto after = std::upper_bound(ranges.begin(), ranges.end(), codePoint,
        [](uint32_t value, const unicode::CodePointRange& range) { return value < range.First; });
    return after != ranges.begin() && codePoint <= std::prev(after)->Last;
}

size_t InvisibleCharacterAt(std::string_view text, size_t at)
{
    const size_t length = ValidSequenceAt(text, at);
    return length > 0 && IsInvisibleCodePoint(CodePointAt(text, at, length)) ? length : 0;
}

} // namespace lumaquill
