#pragma once

#include <cstdint>

namespace lumaquill {

// One SHA-1 compression (FIPS 180-1): the 80 rounds over sixteen message
// words, added into the five chaining words. The words are values, already
// taken from their bytes; byte order is the caller's business, so every
// implementation sees the same input and must give the same state.
using Sha1CompressFunction = void (*)(uint32_t state[5], const uint32_t words[16]);

void Sha1CompressPortable(uint32_t state[5], const uint32_t words[16]);

// The implementation on the processor's SHA extensions, or nullptr when the
// processor or the build target lacks them.
Sha1CompressFunction Sha1CompressAccelerated();

// The implementation every Sha1Context uses: the forced one if a test set
// one, else the accelerated one where present, else the portable one.
Sha1CompressFunction ActiveSha1Compress();

// Lets tests run each implementation on the same vectors; nullptr restores
// the automatic choice.
void ForceSha1Compress(Sha1CompressFunction function);

} // namespace lumaquill
