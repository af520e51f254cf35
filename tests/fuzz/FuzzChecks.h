#pragma once

#include <string_view>

// Stops the run when a property of the code under test does not hold, in
// every build type: assert is compiled out under NDEBUG, and the replay of
// the corpus runs in the normal optimised build. libFuzzer reports the abort
// as a crash and saves the input.
#define LUMAQUILL_FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::lumaquill::fuzz::Fail(#condition, __FILE__, __LINE__);                                                   \
    } while (false)

namespace lumaquill::fuzz {

[[noreturn]] void Fail(const char* condition, const char* file, int line);

// Valid UTF-8 holding no control character (C0, DEL or C1) other than the
// bytes in allowed.
bool IsPlainText(std::string_view text, std::string_view allowed = {});

// Plain text that also holds no invisible or direction-changing character
// (IsInvisibleCodePoint): what a terminal or a file name may show.
bool IsVisibleText(std::string_view text, std::string_view allowed = {});

// What a decoded file may be offered as: a visible text that names one entry
// inside the folder it is joined to and is not hidden there, so not empty,
// no '/' or '\', not "." or "..", and not starting with '.'.
bool IsSafeBareName(std::string_view name);

} // namespace lumaquill::fuzz
