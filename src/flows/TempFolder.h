#pragma once

#include <optional>
#include <string>

namespace lumaquill {

// The user's private folder (mode 0700) inside the system's temporary
// folder, where the noise and rescaled containers are written. Created on
// first use; refused when it is a symbolic link or owned by someone else.
// The path ends in a separator, as the platform's temporary folder does.
std::optional<std::string> PrivateTempFolder();

// Leaves an empty regular file at path for a temporary container to be
// written into, never following a symbolic link there (a link in its place
// is removed). False when no such file can be made.
bool PrepareTempFile(const std::string& path);

} // namespace lumaquill
