#include "cli/options/CliOptions.h"

#include <algorithm>

namespace lumaquill {

namespace {

const OptionRule* FindRule(std::span<const OptionRule> rules, std::string_view name)
{
    auto it = std::find_if(rules.begin(), rules.end(), [name](const OptionRule& s) { return s.Name == name; });
    return it == rules.end() ? nullptr : &*it;
}

std::string ValueCountText(int count)
{
    return count == 1 ? "a value" : std::to_string(count) + " values";
}

} // namespace

bool CliOptions::Parse(const std::vector<std::string>& args, std::span<const OptionRule> rules)
{
    Found.clear();
    Positional.clear();
    Problem.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            Positional.insert(Positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            return true;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            if (!TakeOption(args, i, rules))
                return false;
        } else {
            Positional.push_back(arg);
        }
    }
    return true;
}

// On return index is the last argument consumed.
bool CliOptions::TakeOption(const std::vector<std::string>& args, size_t& index, std::span<const OptionRule> rules)
{
    std::string name = args[index] == "-h" ? "--help" : args[index];
    std::vector<std::string> values;
    size_t equals = name.find('=');
    if (name.starts_with("--") && equals != std::string::npos) {
        values.push_back(name.substr(equals + 1));
        name.resize(equals);
    }
    const OptionRule* rule = FindRule(rules, name);
    if (!rule)
        return Fail("unknown option " + name);
    if (!values.empty() && rule->Values != 1)
        return Fail(name + " does not take \"=\"");
    if (Has(name) && !rule->Repeatable)
        return Fail(name + " given more than once");
    while (static_cast<int>(values.size()) < rule->Values) {
        if (++index >= args.size())
            return Fail(name + " needs " + ValueCountText(rule->Values));
        values.push_back(args[index]);
    }
    Found.emplace_back(std::move(name), std::move(values));
    return true;
}

bool CliOptions::Fail(std::string problem)
{
    Problem = std::move(problem);
    return false;
}

bool CliOptions::SingleImage(std::string& path, std::string& error) const
{
    if (Positional.size() != 1) {
        error = Positional.empty() ? "no image: give IMAGE" : "give only one image";
        return false;
    }
    path = Positional.front();
    return true;
}

bool CliOptions::Has(std::string_view name) const
{
    return std::any_of(Found.begin(), Found.end(), [name](const auto& f) { return f.first == name; });
}

int CliOptions::CountGiven(std::initializer_list<std::string_view> names) const
{
    return static_cast<int>(
        std::count_if(names.begin(), names.end(), [this](std::string_view name) { return Has(name); }));
}

std::vector<std::vector<std::string>> CliOptions::Occurrences(std::string_view name) const
{
    std::vector<std::vector<std::string>> result;
    for (const auto& [option, values] : Found) {
        if (option == name)
            result.push_back(values);
    }
    return result;
}

std::string CliOptions::Value(std::string_view name) const
{
    for (const auto& [option, values] : Found) {
        if (option == name)
            return values.empty() ? std::string() : values.front();
    }
    return {};
}

} // namespace lumaquill
