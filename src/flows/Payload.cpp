#include "flows/Payload.h"

#include <fstream>
#include <iterator>
#include <new>
#include <zlib.h>

namespace lumaquill {

namespace {

// The buffer the payload is compressed into: n + n / 100 + 12 bytes.
uLong DesignBound(size_t length)
{
    return static_cast<uLong>(length + length / 100 + 12);
}

// compress at the default level into a buffer of bound bytes; false when
// the stream does not fit or zlib refuses.
bool CompressInto(std::vector<uint8_t>& out, const uint8_t* data, size_t length, uLong bound, int& status)
{
    out.resize(bound);
    uLongf produced = bound;
    status = compress2(out.data(), &produced, data, static_cast<uLong>(length), Z_DEFAULT_COMPRESSION);
    if (status != Z_OK)
        return false;
    out.resize(produced);
    return true;
}

} // namespace

std::optional<std::vector<uint8_t>> CompressPayload(const uint8_t* data, size_t length)
{
    std::vector<uint8_t> out;
    try {
        int status = Z_OK;
        if (CompressInto(out, data, length, DesignBound(length), status))
            return out;
        // zlib's own bound is the one it guarantees; the smaller buffer can
        // fall short for data that does not compress.
        if (status == Z_BUF_ERROR && CompressInto(out, data, length, compressBound(static_cast<uLong>(length)), status))
            return out;
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> CompressPayload(const std::string& text)
{
    return CompressPayload(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    try {
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (file.bad())
            return std::nullopt;
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace lumaquill
