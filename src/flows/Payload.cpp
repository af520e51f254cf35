#include "flows/Payload.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <system_error>
#include <zlib.h>

namespace lumaquill {

namespace {

uLong DesignBound(size_t length)
{
    return static_cast<uLong>(CompressBufferBytes(length));
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
    std::string ignored;
    return ReadWholeFile(path, ignored);
}

// A read error surfaces from the stream buffer as an exception whatever the
// stream's exception mask says, so every failure is caught here.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, std::string& reason)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        reason = "it is a folder";
        return std::nullopt;
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        reason = std::generic_category().message(errno != 0 ? errno : ENOENT);
        return std::nullopt;
    }
    try {
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file.bad())
            return bytes;
        reason = "it could not be read";
    } catch (const std::bad_alloc&) {
        reason = "it is too large for the memory available";
    } catch (const std::exception&) {
        reason = "it could not be read";
    }
    return std::nullopt;
}

} // namespace lumaquill
