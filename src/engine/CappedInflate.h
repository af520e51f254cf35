#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill {

enum class InflateResult {
    Complete, // the stream ended within the cap; out holds its bytes
    Failed, // damaged data, a stream that does not end, or more than cap bytes
    OutOfMemory, // the output could not grow
};

// Restores a zlib stream (compress format) as zlib's one-shot uncompress
// would into a buffer of cap bytes, with the same verdict for every input,
// but growing the output as the data comes instead of holding cap bytes
// from the start. Bytes after the end of the stream are ignored, as
// uncompress ignores them.
//
// Memory: the data is inflated into chunks that are never copied while
// they grow, then gathered once into out of exactly the restored size, so
// the peak is the restored size plus one chunk (at most 64 MB).
InflateResult InflateCapped(const uint8_t* data, size_t size, uint64_t cap, std::vector<uint8_t>& out);
// The same into a text, so a decoded text needs no second copy.
InflateResult InflateCapped(const uint8_t* data, size_t size, uint64_t cap, std::string& out);

} // namespace lumaquill
