// The question header, read without any key from an untrusted image, and
// its texts as lumaquill-cli info shows them. No control character of a
// stored question or hint may reach the terminal or the JSON output: on the
// terminal each is shown escaped, and a JSON string decodes back to exactly
// the text as UTF-8.

#include "FuzzChecks.h"
#include "ScratchImageFile.h"
#include "cli/commands/InfoCommand.h"
#include "cli/terminal/CliIo.h"
#include "cli/terminal/DisplayText.h"
#include "cli/terminal/JsonText.h"
#include "engine/StegEngine.h"
#include "flows/DecodeFlow.h"
#include "keys/QuestionSet.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace lumaquill;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The text of a JSON string literal, or nothing when it is not one. Only
// \u escapes below U+00A0 are taken, the only ones JsonText writes.
std::optional<std::string> DecodeJsonString(const std::string& literal)
{
    if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"')
        return std::nullopt;
    std::string text;
    for (size_t i = 1; i + 1 < literal.size(); ++i) {
        const char c = literal[i];
        if (c == '"')
            return std::nullopt;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i + 1 >= literal.size())
            return std::nullopt;
        switch (literal[i]) {
        case '"':
        case '\\':
        case '/':
            text += literal[i];
            break;
        case 'b':
            text += '\b';
            break;
        case 'f':
            text += '\f';
            break;
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case 't':
            text += '\t';
            break;
        case 'u': {
            if (i + 5 >= literal.size() || literal.compare(i + 1, 2, "00") != 0)
                return std::nullopt;
            const int high = HexDigit(literal[i + 3]);
            const int low = HexDigit(literal[i + 4]);
            if (high < 0 || high > 9 || low < 0)
                return std::nullopt;
            const int codePoint = high * 16 + low;
            if (codePoint >= 0x80)
                text += '\xC2';
            text += static_cast<char>(codePoint);
            i += 4;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return text;
}

void CheckShownSafely(const std::string& stored)
{
    LUMAQUILL_FUZZ_CHECK(fuzz::IsVisibleText(DisplayText::ForTerminal(stored)));
    const std::string quoted = JsonText::Quote(stored);
    LUMAQUILL_FUZZ_CHECK(fuzz::IsPlainText(quoted));
    LUMAQUILL_FUZZ_CHECK(DecodeJsonString(quoted) == DisplayText::ToUtf8(stored));
}

// lumaquill-cli info as the user runs it: only line breaks may be control
// characters in what it prints.
void CheckInfoOutput(const std::string& path, bool json)
{
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    CliIo io { in, out, err };
    std::vector<std::string> args { path };
    if (json)
        args.push_back("--json");
    InfoCommand(io).Execute(args);
    // JSON carries the stored texts' characters, invisible ones included.
    LUMAQUILL_FUZZ_CHECK(json ? fuzz::IsPlainText(out.str(), "\n") : fuzz::IsVisibleText(out.str(), "\n"));
    LUMAQUILL_FUZZ_CHECK(fuzz::IsVisibleText(err.str(), "\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::ScratchImageFile scratch;
    const std::string& path = scratch.Write(data, size);
    CheckInfoOutput(path, false);
    CheckInfoOutput(path, true);
    StegEngine engine;
    if (!engine.LoadContainer(path))
        return 0;
    QuestionSet questions;
    if (!engine.ReadStoredQuestions(questions))
        return 0;
    const int32_t stored = questions.LeadingUsed();
    LUMAQUILL_FUZZ_CHECK(stored >= 1 && stored <= QuestionSet::kSlots);
    for (int32_t k = 0; k < stored; ++k) {
        CheckShownSafely(questions.Questions[static_cast<size_t>(k)]);
        CheckShownSafely(questions.Hints[static_cast<size_t>(k)]);
    }
    return 0;
}
