#include "flows/Payload.h"

#include "core/MessageText.h"
#include "image/NoiseImage.h"
#include "image/PictureLimits.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
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

// A noise image is 24-bit, n + 2 pixels square.
constexpr uint16_t kNoiseBits = 24;
constexpr uint64_t kNoiseBorder = 2;
// zlib's stream of n bytes that do not compress is at most n + n / 4096 +
// n / 16384 + n / 2^25 + 13 bytes; this margin covers it.
constexpr uint64_t kStoredBlockShare = 2048;
constexpr uint64_t kStreamOverhead = 64;

bool NoiseFits(uint32_t compressedSize)
{
    const uint64_t side = uint64_t(NoiseImage::SideFor(compressedSize)) + kNoiseBorder;
    return limits::Fits(side, side, kNoiseBits);
}

// The largest compressed payload whose noise image fits the limits; the
// noise side grows with the payload.
uint32_t LargestNoisePayload()
{
    uint64_t low = 0;
    uint64_t high = UINT32_MAX;
    while (low < high) {
        const uint64_t middle = (low + high + 1) / 2;
        if (NoiseFits(uint32_t(middle)))
            low = middle;
        else
            high = middle - 1;
    }
    return uint32_t(low);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

uint64_t MaxPayloadFileBytes()
{
    static const uint64_t largest = [] {
        const uint64_t stream = LargestNoisePayload();
        return stream - stream / kStoredBlockShare - kStreamOverhead;
    }();
    return largest;
}

std::string PayloadFileProblem(const std::string& path, uint64_t& length)
{
    length = 0;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return std::generic_category().message(ENOENT);
    if (error)
        return std::generic_category().message(error.value());
    if (status.type() == std::filesystem::file_type::directory)
        return "it is a folder";
    if (status.type() != std::filesystem::file_type::regular)
        return message::kNotARegularFile;
    length = std::filesystem::file_size(path, error);
    if (error)
        return "it could not be read";
    if (length > MaxPayloadFileBytes())
        return "it has " + std::to_string(length) + " bytes, and the largest picture Lumaquill writes takes at most "
            + std::to_string(MaxPayloadFileBytes());
    return {};
}

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

// Exactly the size measured first is read, so a file that grows while it
// is read cannot take more memory than was checked.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, std::string& reason)
{
    uint64_t length = 0;
    reason = PayloadFileProblem(path, length);
    if (!reason.empty())
        return std::nullopt;
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        reason = std::generic_category().message(errno != 0 ? errno : ENOENT);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        reason = "it is too large for the memory available";
        return std::nullopt;
    }
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        reason = "it could not be read";
        return std::nullopt;
    }
    return bytes;
}

} // namespace lumaquill
