#include "keys/Sha1Context.h"

#include "core/ByteOrder.h"
#include "keys/Sha1Compress.h"

#include <cstring>

namespace lumaquill {

namespace {

constexpr uint32_t kInitialState[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
constexpr size_t kBlockBytes = 64;
// Final places the two count words in the last two groups of the block.
constexpr size_t kCountOffset = 56;
constexpr uint8_t kPadByte = 0x80;

} // namespace

void Sha1Context::Init()
{
    std::memcpy(H, kInitialState, sizeof H);
    CountLow = 0;
    CountHigh = 0;
}

void Sha1Context::Update(const uint8_t* data, size_t length)
{
    if (length == 0)
        return;
    size_t j = (CountLow >> 3) & (kBlockBytes - 1);
    const uint32_t addedBits = static_cast<uint32_t>(length << 3);
    CountLow += addedBits;
    if (CountLow < addedBits)
        ++CountHigh;
    CountHigh += static_cast<uint32_t>(length >> 29);

    size_t done = 0;
    if (j + length >= kBlockBytes) {
        done = kBlockBytes - j;
        std::memcpy(Buffer + j, data, done);
        Compress(false);
        for (; done + kBlockBytes <= length; done += kBlockBytes) {
            std::memcpy(Buffer, data + done, kBlockBytes);
            Compress(false);
        }
        j = 0;
    }
    std::memcpy(Buffer + j, data + done, length - done);
}

void Sha1Context::Final(uint8_t out[20])
{
    const size_t j = (CountLow >> 3) & (kBlockBytes - 1);
    Buffer[j] = kPadByte;
    if (j >= kCountOffset) {
        std::memset(Buffer + j + 1, 0, kBlockBytes - j - 1);
        Compress(false);
        std::memset(Buffer, 0, kCountOffset);
    } else {
        std::memset(Buffer + j + 1, 0, kCountOffset - j - 1);
    }
    Compress(true);
    for (int i = 0; i < 5; ++i)
        Store32Be(out + 4 * i, H[i]);
}

void Sha1Context::Compress(bool lengthWords)
{
    uint32_t words[16];
    const int reversedGroups = lengthWords ? 14 : 16;
    for (int i = 0; i < reversedGroups; ++i) {
        words[i] = Load32Be(Buffer + 4 * i);
        Store32Le(Buffer + 4 * i, words[i]);
    }
    if (lengthWords) {
        words[14] = CountHigh;
        words[15] = CountLow;
        Store32Le(Buffer + kCountOffset, CountHigh);
        Store32Le(Buffer + kCountOffset + 4, CountLow);
    }
    ActiveSha1Compress()(H, words);
}

Sha1Bytes Sha1(const uint8_t* data, size_t length)
{
    Sha1Context context;
    context.Init();
    context.Update(data, length);
    Sha1Bytes digest;
    context.Final(digest.data());
    return digest;
}

Sha1Bytes Sha1(std::string_view text)
{
    return Sha1(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

} // namespace lumaquill
