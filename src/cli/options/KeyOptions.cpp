#include "cli/options/KeyOptions.h"

namespace lumaquill {

std::optional<KeyOptions::Choice> KeyOptions::Take(const CliOptions& options, std::string& error) const
{
    if (options.CountGiven({ kPassword, kPasswordStdin, QuestionOption.Name }) > 1) {
        error = "give only one of --password, --password-stdin and " + std::string(QuestionOption.Name);
        return std::nullopt;
    }
    Choice choice;
    if (options.Has(kPassword)) {
        choice.Key = KeySource::Password;
        choice.Password = options.Value(kPassword);
    } else if (options.Has(kPasswordStdin)) {
        choice.Key = KeySource::PasswordStdin;
    } else if (options.Has(QuestionOption.Name)) {
        choice.Key = QuestionKey;
        choice.Questions = options.Occurrences(QuestionOption.Name);
    }
    return choice;
}

} // namespace lumaquill
