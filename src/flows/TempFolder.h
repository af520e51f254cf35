#pragma once

#include <optional>
#include <string>

namespace lumaquill {

// The user's private folder (mode 0700) inside the system's temporary
// folder, where the noise and rescaled containers are written. Created on
// first use; refused when it is a symbolic link or owned by someone else.
// The path ends in a separator, as the platform's temporary folder does.
std::optional<std::string> PrivateTempFolder();

} // namespace lumaquill
