#include "flows/FakeFrontend.h"

#include <algorithm>

namespace lumaquill::test {

bool FrontendLog::Contains(const std::string& event) const
{
    return IndexOf(event) >= 0;
}

long FrontendLog::IndexOf(const std::string& event) const
{
    const auto found = std::find(Events.begin(), Events.end(), event);
    return found == Events.end() ? -1 : static_cast<long>(found - Events.begin());
}

std::vector<std::string> FrontendLog::Messages() const
{
    std::vector<std::string> messages;
    for (const std::string& event : Events) {
        if (event.rfind("Stop: ", 0) == 0 || event.rfind("Warn: ", 0) == 0)
            messages.push_back(event);
    }
    return messages;
}

} // namespace lumaquill::test
