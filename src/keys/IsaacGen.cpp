#include "keys/IsaacGen.h"

#include "core/ByteOrder.h"
#include "keys/RuntimeRandom.h"
#include "keys/Sha1Context.h"

namespace lumaquill {

namespace {

// Fills words[0..count) from 4 * count runtime-generator bytes, each the
// low byte of one draw, read as little-endian words.
void FillFromRuntime(uint32_t* words, int count)
{
    for (int i = 0; i < count; ++i) {
        uint8_t bytes[4];
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(RuntimeRand() & 0xFF);
        }
        words[i] = Load32Le(bytes);
    }
}

} // namespace

void IsaacGen::Reseed(const uint8_t key[kKeyBytes])
{
    const Sha1Bytes digest = Sha1(key, kKeyBytes);
    Mersenne.Seed(Load32Le(&digest[0]));
    RuntimeSrand(Load32Le(&digest[4]));
    // 1024 draws for the ISAAC result table, then 100 for TT800: 1124 in all.
    uint32_t isaacSeed[IsaacCore::kWords];
    FillFromRuntime(isaacSeed, IsaacCore::kWords);
    Isaac.Init(isaacSeed);
    uint32_t tt800Seed[Tt800Core::kWords];
    FillFromRuntime(tt800Seed, Tt800Core::kWords);
    Tt800.Init(tt800Seed);
}

} // namespace lumaquill
