#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

// The buffer a payload of n bytes is compressed into: n + n / 100 + 12
// bytes. Callers that must know whether memory suffices ask with it first.
constexpr uintmax_t CompressBufferBytes(uintmax_t length)
{
    return length + length / 100 + 12;
}

// zlib's compress at the default level into a buffer of
// CompressBufferBytes(n) bytes, shortened to the stream; nothing when
// compression fails.
std::optional<std::vector<uint8_t>> CompressPayload(const uint8_t* data, size_t length);
std::optional<std::vector<uint8_t>> CompressPayload(const std::string& text);

// The largest payload file taken: the most bytes whose zlib stream, however
// little they compress, gets a pure noise image within the picture limits.
// No cover within those limits takes more.
uint64_t MaxPayloadFileBytes();

// Why the file cannot be a payload, judged by its kind and size before any
// byte is read, as a clause ("it is not a regular file"); empty when it
// can. A device or pipe could be endless, so only regular files are
// taken. length receives the file's size.
std::string PayloadFileProblem(const std::string& path, uint64_t& length);

// The whole file's bytes; nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);
// The same, with why not in reason: PayloadFileProblem's reasons, the
// system's reason for a failed read, or too little memory.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path, std::string& reason);

} // namespace lumaquill
