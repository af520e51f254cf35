#include "keys/Sha1Context.h"

#include "core/ByteOrder.h"
#include "keys/Sha1Compress.h"

#include <cassert>

namespace lumaquill {

namespace {

constexpr uint32_t kInitialState[5] = { 0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u };
// Final places the high and then the low count word in these two groups.
constexpr size_t kCountGroup = 14;
constexpr uint8_t kPadByte = 0x80;

} // namespace

void Sha1Context::Init()
{
    for (int i = 0; i < 5; ++i)
        H[i] = kInitialState[i];
    CountLow = 0;
    CountHigh = 0;
}

void Sha1Context::AddToCount(size_t bytes)
{
    const uint32_t addedBits = static_cast<uint32_t>(bytes << 3);
    CountLow += addedBits;
    if (CountLow < addedBits)
        ++CountHigh;
    CountHigh += static_cast<uint32_t>(static_cast<uint64_t>(bytes) >> 29);
}

// Byte p of a group is bits 31-24 of its word for p = 0, down to bits 7-0.
void Sha1Context::PutByte(size_t position, uint8_t value)
{
    const unsigned shift = 8 * (3 - position % 4);
    uint32_t& group = Groups[position / 4];
    group = (group & ~(0xFFu << shift)) | (uint32_t(value) << shift);
}

void Sha1Context::Update(const uint8_t* data, size_t length)
{
    size_t j = BufferedBytes();
    AddToCount(length);
    const uint8_t* end = data + length;
    // Whole groups are written as words; only a group begun or left
    // unfinished by this call is written byte by byte.
    while (data != end && j % 4 != 0)
        PutByte(j++, *data++);
    if (j == 4 * kGroups) {
        Compress();
        j = 0;
    }
    for (; end - data >= 4; data += 4) {
        Groups[j / 4] = Load32Be(data);
        j += 4;
        if (j == 4 * kGroups) {
            Compress();
            j = 0;
        }
    }
    while (data != end)
        PutByte(j++, *data++);
}

void Sha1Context::UpdateGroups(const uint32_t* words, size_t count)
{
    size_t group = BufferedBytes() / 4;
    assert(BufferedBytes() % 4 == 0);
    AddToCount(4 * count);
    for (size_t k = 0; k < count; ++k) {
        Groups[group++] = words[k];
        if (group == kGroups) {
            Compress();
            group = 0;
        }
    }
}

void Sha1Context::Final(uint8_t out[20])
{
    uint32_t words[5];
    FinalWords(words);
    for (int i = 0; i < 5; ++i)
        Store32Be(out + 4 * i, words[i]);
}

void Sha1Context::FinalWords(uint32_t out[5])
{
    size_t j = BufferedBytes();
    PutByte(j++, kPadByte);
    for (; j % 4 != 0; ++j)
        PutByte(j, 0);
    if (j > 4 * kCountGroup) {
        for (size_t g = j / 4; g < kGroups; ++g)
            Groups[g] = 0;
        Compress();
        j = 0;
    }
    for (size_t g = j / 4; g < kCountGroup; ++g)
        Groups[g] = 0;
    Groups[kCountGroup] = CountHigh;
    Groups[kCountGroup + 1] = CountLow;
    Compress();
    for (int i = 0; i < 5; ++i)
        out[i] = H[i];
}

void Sha1Context::Compress()
{
    ActiveSha1Compress()(H, Groups);
    for (uint32_t& group : Groups)
        group = ByteSwap32(group);
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
