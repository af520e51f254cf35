#include "cli/options/DecodeOptions.h"

#include "cli/options/CliOptions.h"
#include "cli/options/KeyOptions.h"

#include <array>

namespace lumaquill {

namespace {

constexpr KeyOptions kKeyOptions = KeyOptions::ForDecode();

constexpr auto kDecodeRules = JoinRules(
    std::array {
        OptionRule { "--help", 0, false },
        OptionRule { "--out", 1, false },
        OptionRule { "--out-dir", 1, false },
        OptionRule { "--force", 0, false },
    },
    kKeyOptions.Rules());

bool TakeKey(const CliOptions& options, DecodeOptions& result, std::string& error)
{
    std::optional<KeyOptions::Choice> key = kKeyOptions.Take(options, error);
    if (!key)
        return false;
    result.Key = key->Key;
    result.Password = std::move(key->Password);
    for (const std::vector<std::string>& values : key->Questions)
        result.Answers.push_back(values[0]);
    return true;
}

bool TakeTarget(const CliOptions& options, DecodeOptions& result, std::string& error)
{
    if (options.Has("--out") && options.Has("--out-dir")) {
        error = "give only one of --out and --out-dir";
        return false;
    }
    result.OutPath = options.Value("--out");
    result.OutDir = options.Value("--out-dir");
    if ((options.Has("--out") && result.OutPath.empty()) || (options.Has("--out-dir") && result.OutDir.empty())) {
        error = "--out and --out-dir need a non-empty path";
        return false;
    }
    result.Force = options.Has("--force");
    return true;
}

bool TakeAll(const CliOptions& options, DecodeOptions& result, std::string& error)
{
    return options.SingleImage(result.ImagePath, error) && TakeKey(options, result, error)
        && TakeTarget(options, result, error);
}

} // namespace

std::optional<DecodeOptions> DecodeOptions::Parse(const std::vector<std::string>& args, std::string& error)
{
    return CliOptions::ParseCommand(args, kDecodeRules, error, &TakeAll);
}

const char* DecodeOptions::Usage()
{
    return "Usage: lumaquill-cli decode IMAGE [--password PW | --password-stdin | --answer ANSWER ...]\n"
           "                            [--out FILE | --out-dir DIR] [--force]\n"
           "\n"
           "Gets back what was hidden in IMAGE. A text is written to standard output as it was;\n"
           "a file is saved under the name it had when it was hidden.\n"
           "  --password PW        the password\n"
           "  --password-stdin     read the password from the first line of standard input\n"
           "                       (asked for without echo when that is a terminal)\n"
           "  --answer ANSWER      the answer to a stored question, once per question, in order\n"
           "  --out FILE           save the decoded file, or the decoded text, as FILE;\n"
           "                       - writes either to standard output\n"
           "  --out-dir DIR        save a decoded file in DIR (default: the current folder)\n"
           "  --force              replace an existing file (only ever a regular file)\n"
           "Without a key option the password, or the answers, are asked for on the terminal.\n";
}

} // namespace lumaquill
