#include "engine/StoredName.h"

#include "engine/ContainerFormat.h"
#include "io/InvisibleCharacterTable.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <iterator>

namespace lumaquill {

namespace {

bool IsContinuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

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
        return IsContinuation(second);
    }
}

// Length of the valid sequence at text[at], 0 when none starts there.
size_t ValidSequenceAt(std::string_view text, size_t at)
{
    const auto lead = static_cast<uint8_t>(text[at]);
    const size_t length = SequenceLength(lead);
    if (length == 0 || at + length > text.size())
        return 0;
    if (length > 1 && !SecondByteFits(lead, static_cast<uint8_t>(text[at + 1])))
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (!IsContinuation(static_cast<uint8_t>(text[at + i])))
            return 0;
    }
    return length;
}

std::string_view LastComponent(std::string_view name)
{
    const size_t separator = name.find_last_of("\\/");
    return separator == std::string_view::npos ? name : name.substr(separator + 1);
}

// Start of the last sequence when it is a lead byte whose continuation
// bytes were cut off; text.size() when the text does not end that way.
size_t TruncatedTailStart(std::string_view text)
{
    size_t at = text.size();
    for (int back = 0; back < 3 && at > 0; ++back) {
        --at;
        const auto byte = static_cast<uint8_t>(text[at]);
        if (!IsContinuation(byte)) {
            const size_t length = SequenceLength(byte);
            return length > text.size() - at ? at : text.size();
        }
    }
    return text.size();
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

// C0 controls, DEL and the C1 controls (U+0080..U+009F, encoded C2 80..C2 9F)
// become '_'; so does any byte that does not open a valid sequence.
std::string ReplaceControls(std::string_view text)
{
    std::string out;
    for (size_t at = 0; at < text.size();) {
        const size_t length = ValidSequenceAt(text, at);
        const auto lead = static_cast<uint8_t>(text[at]);
        if (length == 0) {
            out += '_';
            ++at;
            continue;
        }
        if (InvisibleCharacterAt(text, at) > 0) {
            at += length;
            continue;
        }
        const bool c0 = length == 1 && (lead < 0x20 || lead == 0x7F);
        const bool c1 = length == 2 && lead == 0xC2 && static_cast<uint8_t>(text[at + 1]) < 0xA0;
        if (c0 || c1)
            out += '_';
        else
            out += text.substr(at, length);
        at += length;
    }
    return out;
}

} // namespace

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

namespace {

// The first bytes of text, at most limit of them; in a UTF-8 text the cut
// moves back to the start of the character it would split.
std::string_view CutAt(std::string_view text, size_t limit, bool utf8)
{
    if (text.size() <= limit)
        return text;
    size_t cut = limit;
    while (utf8 && cut > 0 && IsContinuation(static_cast<uint8_t>(text[cut])))
        --cut;
    return text.substr(0, cut);
}

// Where the kept extension starts, or npos when the name has none to keep.
size_t KeptExtensionStart(std::string_view name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot > kMaxKeptExtensionBytes)
        return std::string_view::npos;
    return dot;
}

} // namespace

namespace {

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

bool IsInvisibleCodePoint(uint32_t codePoint)
{
    const auto& ranges = unicode::kInvisibleRanges;
    const auto after = std::upper_bound(ranges.begin(), ranges.end(), codePoint,
        [](uint32_t value, const unicode::CodePointRange& range) { return value < range.First; });
    return after != ranges.begin() && codePoint <= std::prev(after)->Last;
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

size_t InvisibleCharacterAt(std::string_view text, size_t at)
{
    const size_t length = ValidSequenceAt(text, at);
    return length > 0 && IsInvisibleCodePoint(CodePointAt(text, at, length)) ? length : 0;
}

std::string StoredNameField(const std::string& name, uint32_t limit)
{
    const std::string_view part = LastComponent(name);
    if (part.size() <= limit)
        return std::string(part);
    const bool utf8 = IsValidUtf8(part);
    const size_t dot = KeptExtensionStart(part);
    if (dot == std::string_view::npos)
        return std::string(CutAt(part, limit, utf8));
    const std::string_view extension = part.substr(dot);
    return std::string(CutAt(part.substr(0, dot), limit - extension.size(), utf8)) + std::string(extension);
}

std::string SafeFileName(const std::string& storedName)
{
    std::string_view part = LastComponent(storedName);
    if (!IsValidUtf8(part)) {
        const std::string_view whole = part.substr(0, TruncatedTailStart(part));
        if (IsValidUtf8(whole))
            part = whole;
    }
    std::string name = ReplaceControls(IsValidUtf8(part) ? std::string(part) : Windows1252ToUtf8(part));
    if (name.empty() || name == "." || name == "..")
        return kFallbackFileName;
    // A hidden name (".profile") could plant a dot file unseen.
    for (size_t at = 0; at < name.size() && name[at] == '.'; ++at)
        name[at] = '_';
    return name;
}

} // namespace lumaquill
