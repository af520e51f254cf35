#include "engine/StoredName.h"

#include "engine/ContainerFormat.h"
#include "io/Utf8.h"

namespace lumaquill {

namespace {

std::string_view LastComponent(std::string_view name)
{
    const size_t separator = name.find_last_of("\\/");
    return separator == std::string_view::npos ? name : name.substr(separator + 1);
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

// The first bytes of text, at most limit of them; in a UTF-8 text the cut
// moves back to the start of the character it would split.
std::string_view CutAt(std::string_view text, size_t limit, bool utf8)
{
    if (text.size() <= limit)
        return text;
    size_t cut = limit;
    while (utf8 && cut > 0 && IsUtf8Continuation(static_cast<uint8_t>(text[cut])))
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
