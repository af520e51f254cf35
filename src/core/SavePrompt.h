#pragma once

#include <optional>
#include <string>

namespace lumaquill {

// Asks where a decoded file goes. The offered name is already reduced to a
// bare, safe file name. Returns the full target path, or nothing when the
// user declines (then nothing is written).
class SavePrompt {
public:
    virtual ~SavePrompt() = default;
    virtual std::optional<std::string> AskSavePath(const std::string& offeredName) = 0;
};

} // namespace lumaquill
