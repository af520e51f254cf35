#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaquill {

// Writes a whole file so that the target holds either what it held before or
// the complete new content, never a part: the bytes go to a new file in the
// target's folder, which is flushed and then renamed over the target. The
// temporary file is removed on failure. False when the target's folder
// cannot take the file or the rename is refused (a directory in the way).
bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size);

} // namespace lumaquill
