#include "stealth/Keystream.h"

#include "core/ByteOrder.h"

#include <cassert>

namespace lumaquill::stealth {

static_assert(kKeystreamBlockBytes == crypto_generichash_BYTES_MAX);
static_assert(kKeystreamBlockBytes % 4 == 0);

Keystream::Keystream(std::span<const uint8_t> key)
{
    assert(key.size() == kKeystreamKeyBytes);
    crypto_generichash_init(&Keyed, key.data(), key.size(), kKeystreamBlockBytes);
}

Keystream::~Keystream()
{
    sodium_memzero(&Keyed, sizeof Keyed);
    sodium_memzero(Block.data(), Block.size());
}

void Keystream::Refill()
{
    crypto_generichash_state state = Keyed;
    std::array<uint8_t, 8> counter;
    Store32Le(counter.data(), static_cast<uint32_t>(Counter));
    Store32Le(counter.data() + 4, static_cast<uint32_t>(Counter >> 32));
    crypto_generichash_update(&state, counter.data(), counter.size());
    crypto_generichash_final(&state, Block.data(), Block.size());
    ++Counter;
    Used = 0;
}

uint8_t Keystream::NextByte()
{
    if (Used == Block.size())
        Refill();
    return Block[Used++];
}

uint32_t Keystream::NextWord()
{
    // A stream is read as words or as bytes, never both, so a word never
    // straddles two blocks.
    assert(Used % 4 == 0);
    if (Used == Block.size())
        Refill();
    const uint32_t word = Load32Le(Block.data() + Used);
    Used += 4;
    return word;
}

uint32_t Keystream::Below(uint32_t bound)
{
    return static_cast<uint32_t>((uint64_t { NextWord() } * bound) >> 32);
}

} // namespace lumaquill::stealth
