#include "FuzzChecks.h"

#include "io/Utf8.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace lumaquill::fuzz {

namespace {

// U+0080 to U+009F are encoded C2 80 to C2 9F.
bool IsC1At(std::string_view text, size_t i)
{
    return static_cast<uint8_t>(text[i]) == 0xC2 && i + 1 < text.size() && static_cast<uint8_t>(text[i + 1]) < 0xA0;
}

} // namespace

void Fail(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

bool IsPlainText(std::string_view text, std::string_view allowed)
{
    if (!IsValidUtf8(text))
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<uint8_t>(text[i]);
        const bool control = byte < 0x20 || byte == 0x7F || IsC1At(text, i);
        if (control && allowed.find(text[i]) == std::string_view::npos)
            return false;
    }
    return true;
}

bool IsVisibleText(std::string_view text, std::string_view allowed)
{
    if (!IsPlainText(text, allowed))
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (InvisibleCharacterAt(text, i) > 0)
            return false;
    }
    return true;
}

bool IsSafeBareName(std::string_view name)
{
    return !name.empty() && name.find_first_of("/\\") == std::string_view::npos && name != "." && name != ".."
        && name.front() != '.' && IsVisibleText(name);
}

} // namespace lumaquill::fuzz
