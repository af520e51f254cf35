#pragma once

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumaquill {

// One option a command accepts: "--name" followed by a fixed number of values.
struct OptionRule {
    std::string_view Name;
    int Values = 0;
    bool Repeatable = false;
};

// A command's table of rules from its own and those it shares with another
// command; the order of the rules does not matter.
template <size_t Own, size_t Shared>
constexpr std::array<OptionRule, Own + Shared> JoinRules(
    const std::array<OptionRule, Own>& own, const std::array<OptionRule, Shared>& shared)
{
    std::array<OptionRule, Own + Shared> joined {};
    std::copy(own.begin(), own.end(), joined.begin());
    std::copy(shared.begin(), shared.end(), joined.begin() + Own);
    return joined;
}

// Splits a command's arguments into options with their values and
// positional arguments. Values are taken verbatim, so a value may itself
// start with "-". "--name=value" is accepted for single-valued options,
// "-h" means "--help", and everything after "--" is positional.
class CliOptions {
public:
    // False on the first problem, which Error() then describes.
    bool Parse(const std::vector<std::string>& args, std::span<const OptionRule> rules);
    // The whole of a command's Parse. Options has a bool Help, set when
    // "--help" was given, after which nothing else is checked; otherwise take
    // reads the parsed options into the result, false with error set on a
    // problem.
    template <class Options>
    static std::optional<Options> ParseCommand(const std::vector<std::string>& args, std::span<const OptionRule> rules,
        std::string& error, bool (*take)(const CliOptions&, Options&, std::string&))
    {
        CliOptions options;
        if (!options.Parse(args, rules)) {
            error = options.Error();
            return std::nullopt;
        }
        Options result;
        result.Help = options.Has("--help");
        if (result.Help || take(options, result, error))
            return result;
        return std::nullopt;
    }

    bool Has(std::string_view name) const;
    // How many of the named options were given.
    int CountGiven(std::initializer_list<std::string_view> names) const;
    // The values of every occurrence of the option, in command-line order.
    std::vector<std::vector<std::string>> Occurrences(std::string_view name) const;
    // The first value of the option's first occurrence; empty when absent.
    std::string Value(std::string_view name) const;
    const std::vector<std::string>& Positionals() const { return Positional; }
    // The one image a decode or info command works on: false, with error
    // set, when there is none or more than one.
    bool SingleImage(std::string& path, std::string& error) const;
    const std::string& Error() const { return Problem; }

private:
    bool Fail(std::string problem);
    bool TakeOption(const std::vector<std::string>& args, size_t& index, std::span<const OptionRule> rules);

    std::vector<std::pair<std::string, std::vector<std::string>>> Found;
    std::vector<std::string> Positional;
    std::string Problem;
};

} // namespace lumaquill
