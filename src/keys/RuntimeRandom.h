#pragma once

#include <cstdint>

namespace lumaquill {

// The runtime generator: one process-wide state, part of the stored format.
// Srand sets the state; each Rand sets state = state * 214013 + 2531011
// (mod 2^32) and returns (state >> 16) & 0x7FFF. The main window seeds it
// from the clock, DeriveMarker and every IsaacGen reseed reseed it, and the
// noise container and EmbedMode 0 draw from it; nothing else may.
void RuntimeSrand(uint32_t seed);
int32_t RuntimeRand();

// The raw state, for tests that check how many draws an operation consumed.
uint32_t RuntimeRandState();

} // namespace lumaquill
