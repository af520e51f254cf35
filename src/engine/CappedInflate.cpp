#include "engine/CappedInflate.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <new>
#include <stdexcept>
#include <zlib.h>

namespace lumaquill {

namespace {

// The first chunk is this small: damaged data usually fails within its
// first bytes, so a wrong key never commits much memory. Each further chunk
// doubles, up to the largest.
constexpr size_t kFirstChunkBytes = 64 * 1024;
constexpr size_t kLargestChunkBytes = 64 * 1024 * 1024;

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

// The restored bytes so far: full chunks, and the last one filled up to
// LastFill.
struct Chunks {
    std::vector<std::vector<uint8_t>> Parts;
    size_t LastFill = 0;
    size_t Total = 0;

    // A new chunk when the last one is full and the cap leaves room; false
    // when memory runs out.
    bool Grow(size_t limit)
    {
        if (!Parts.empty() && LastFill < Parts.back().size())
            return true;
        if (Total >= limit)
            return true;
        const size_t next = Parts.empty() ? kFirstChunkBytes : std::min(kLargestChunkBytes, Parts.back().size() * 2);
        try {
            Parts.emplace_back(std::min(next, limit - Total));
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
        LastFill = 0;
        return true;
    }
};

// Gathers the chunks into out, releasing each once it is copied. The room is
// reserved without being touched, so the pages of out fill as the chunks
// go: the peak stays near the restored size plus one chunk.
template <typename Bytes> bool Gather(Chunks& chunks, Bytes& out)
{
    try {
        out.reserve(chunks.Total);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    for (size_t i = 0; i < chunks.Parts.size(); ++i) {
        const std::vector<uint8_t>& part = chunks.Parts[i];
        const size_t used = i + 1 == chunks.Parts.size() ? chunks.LastFill : part.size();
        out.insert(out.end(), part.begin(), part.begin() + static_cast<std::ptrdiff_t>(used));
        std::vector<uint8_t>().swap(chunks.Parts[i]);
    }
    return true;
}

template <typename Bytes> InflateResult Inflate(const uint8_t* data, size_t size, uint64_t cap, Bytes& out)
{
    out.clear();
    InflateStream inflater;
    if (!inflater.Ready)
        return InflateResult::Failed;
    z_stream& stream = inflater.Stream;
    const size_t limit = static_cast<size_t>(std::min<uint64_t>(cap, SIZE_MAX));
    const uint8_t* next = data;
    Chunks chunks;
    // Where zlib may write nothing: the output is at the cap.
    uint8_t spare = 0;
    for (;;) {
        FeedInput(stream, next, data + size);
        if (!chunks.Grow(limit))
            return InflateResult::OutOfMemory;
        std::vector<uint8_t>* last = chunks.Parts.empty() ? nullptr : &chunks.Parts.back();
        const size_t room = last ? std::min<size_t>(last->size() - chunks.LastFill, UINT_MAX) : 0;
        stream.next_out = room > 0 ? last->data() + chunks.LastFill : &spare;
        stream.avail_out = static_cast<uInt>(room);
        const int status = inflate(&stream, Z_NO_FLUSH);
        const size_t produced = room - stream.avail_out;
        chunks.LastFill += produced;
        chunks.Total += produced;
        if (status == Z_STREAM_END)
            return Gather(chunks, out) ? InflateResult::Complete : InflateResult::OutOfMemory;
        // Z_BUF_ERROR: no progress is possible, because the input is used up
        // without an end or because the output is at the cap.
        if (status != Z_OK)
            return InflateResult::Failed;
    }
}

} // namespace

InflateResult InflateCapped(const uint8_t* data, size_t size, uint64_t cap, std::vector<uint8_t>& out)
{
    return Inflate(data, size, cap, out);
}

InflateResult InflateCapped(const uint8_t* data, size_t size, uint64_t cap, std::string& out)
{
    return Inflate(data, size, cap, out);
}

} // namespace lumaquill
