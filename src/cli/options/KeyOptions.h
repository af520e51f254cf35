#pragma once

#include "cli/options/CliOptions.h"
#include "cli/options/KeySource.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaquill {

// The key options that encode and decode share: --password PW,
// --password-stdin and the command's own question option (encode's
// --quiz QUESTION HINT ANSWER, decode's --answer ANSWER, each repeatable).
// A command line gives at most one of the three.
class KeyOptions {
public:
    // What the key options of one command line chose.
    struct Choice {
        KeySource Key = KeySource::Prompt;
        // With KeySource::Password.
        std::string Password;
        // The values of each occurrence of the question option, in
        // command-line order.
        std::vector<std::vector<std::string>> Questions;
    };

    static constexpr KeyOptions ForEncode() { return { { "--quiz", 3, true }, KeySource::Quiz }; }
    static constexpr KeyOptions ForDecode() { return { { "--answer", 1, true }, KeySource::Answers }; }

    // The three options, for the command's own table of rules.
    constexpr std::array<OptionRule, 3> Rules() const
    {
        return { OptionRule { kPassword, 1, false }, OptionRule { kPasswordStdin, 0, false }, QuestionOption };
    }
    // Nothing, with error set, when more than one key option was given.
    std::optional<Choice> Take(const CliOptions& options, std::string& error) const;

private:
    static constexpr std::string_view kPassword = "--password";
    static constexpr std::string_view kPasswordStdin = "--password-stdin";

    constexpr KeyOptions(OptionRule questionOption, KeySource questionKey)
        : QuestionOption(questionOption)
        , QuestionKey(questionKey)
    {
    }

    OptionRule QuestionOption;
    KeySource QuestionKey;
};

} // namespace lumaquill
