#include "keys/RuntimeRandom.h"

namespace lumaquill {

namespace {

constexpr uint32_t kMultiplier = 214013;
constexpr uint32_t kIncrement = 2531011;

// The one process-wide state. Everything runs on the user-interface thread,
// and the stored format fixes the order of every draw, so one plain word
// is the whole generator.
uint32_t g_state = 1;

} // namespace

void RuntimeSrand(uint32_t seed)
{
    g_state = seed;
}

int32_t RuntimeRand()
{
    g_state = g_state * kMultiplier + kIncrement;
    return static_cast<int32_t>((g_state >> 16) & 0x7FFF);
}

uint32_t RuntimeRandState()
{
    return g_state;
}

} // namespace lumaquill
