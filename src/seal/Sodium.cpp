#include "seal/Sodium.h"

#include <sodium.h>

namespace lumaquill {

bool SodiumReady()
{
    // 0: initialised now; 1: already initialised; -1: failure.
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace lumaquill
