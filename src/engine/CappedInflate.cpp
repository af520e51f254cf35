#include "engine/CappedInflate.h"

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>
#include <zlib.h>

namespace lumaquill {

namespace {

// The output starts this small: damaged data usually fails within its first
// bytes, so a wrong key never commits much memory.
constexpr size_t kFirstOutputBytes = 64 * 1024;

class InflateStream {
public:
    InflateStream() { Ready = inflateInit(&Stream) == Z_OK; }
    ~InflateStream()
    {
        if (Ready)
            inflateEnd(&Stream);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;

    z_stream Stream {};
    bool Ready = false;
};

// Hands zlib the next slice of input once it has used up the last one.
void FeedInput(z_stream& stream, const uint8_t*& next, const uint8_t* end)
{
    if (stream.avail_in > 0 || next == end)
        return;
    const auto slice = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(end - next), UINT_MAX));
    stream.next_in = const_cast<Bytef*>(next);
    stream.avail_in = static_cast<uInt>(slice);
    next += slice;
}

// Doubles the output when it is full, up to the cap; false when memory runs out.
bool GrowOutput(std::vector<uint8_t>& out, size_t produced, size_t cap)
{
    if (produced < out.size() || out.size() >= cap)
        return true;
    try {
        out.resize(std::min(cap, std::max(kFirstOutputBytes, out.size() * 2)));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

} // namespace

InflateResult InflateCapped(const uint8_t* data, size_t size, uint64_t cap, std::vector<uint8_t>& out)
{
    out.clear();
    InflateStream inflater;
    if (!inflater.Ready)
        return InflateResult::Failed;
    z_stream& stream = inflater.Stream;
    const size_t limit = static_cast<size_t>(std::min<uint64_t>(cap, SIZE_MAX));
    const uint8_t* next = data;
    size_t produced = 0;
    // Where zlib may write nothing: the output is at the cap.
    uint8_t spare = 0;
    for (;;) {
        FeedInput(stream, next, data + size);
        if (!GrowOutput(out, produced, limit))
            return InflateResult::OutOfMemory;
        const size_t room = std::min<size_t>(out.size() - produced, UINT_MAX);
        stream.next_out = room > 0 ? out.data() + produced : &spare;
        stream.avail_out = static_cast<uInt>(room);
        const int status = inflate(&stream, Z_NO_FLUSH);
        produced += room - stream.avail_out;
        if (status == Z_STREAM_END) {
            out.resize(produced);
            return InflateResult::Complete;
        }
        // Z_BUF_ERROR: no progress is possible, because the input is used up
        // without an end or because the output is at the cap.
        if (status != Z_OK)
            return InflateResult::Failed;
    }
}

} // namespace lumaquill
