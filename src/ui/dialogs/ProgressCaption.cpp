#include "ui/dialogs/ProgressCaption.h"

#include <array>
#include <charconv>

namespace lumaquill {

namespace {

struct Wording {
    std::string_view Engine;
    const char* User;
};

// Each engine caption starts with one of these; the counted ones go on
// ". (done of total units)".
constexpr std::array kWordings = {
    Wording { "Initializing", "Getting ready" },
    Wording { "Mangling Password", "Strengthening the password" },
    Wording { "Encoding Complete", "Hiding the data: done" },
    Wording { "Encoding Data", "Hiding the data" },
    Wording { "Decoding Complete", "Reading the hidden data: done" },
    Wording { "Decoding Data", "Reading the hidden data" },
    Wording { "Decompressing Data", "Unpacking the hidden data" },
};

const QString kEllipsis = QStringLiteral("\u2026");

bool ReadNumber(std::string_view& text, uint64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc())
        return false;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return true;
}

// The percentage of ". (done of total ...)", or -1 without one.
int Percent(std::string_view rest)
{
    constexpr std::string_view kOpen = ". (";
    constexpr std::string_view kOf = " of ";
    uint64_t done = 0;
    uint64_t total = 0;
    if (!rest.starts_with(kOpen))
        return -1;
    rest.remove_prefix(kOpen.size());
    if (!ReadNumber(rest, done) || !rest.starts_with(kOf))
        return -1;
    rest.remove_prefix(kOf.size());
    if (!ReadNumber(rest, total) || total == 0 || done > total)
        return -1;
    return static_cast<int>(done * 100 / total);
}

} // namespace

QString ProgressCaption::ForUser(std::string_view engineText)
{
    for (const Wording& wording : kWordings) {
        if (!engineText.starts_with(wording.Engine))
            continue;
        const QString words = QString::fromUtf8(wording.User);
        if (words.endsWith(QStringLiteral("done")))
            return words;
        const int percent = Percent(engineText.substr(wording.Engine.size()));
        return percent < 0 ? words + kEllipsis : QStringLiteral("%1: %2% %3").arg(words).arg(percent).arg(kEllipsis);
    }
    return QString::fromUtf8(engineText.data(), static_cast<qsizetype>(engineText.size()));
}

} // namespace lumaquill
