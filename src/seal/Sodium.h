#pragma once

namespace lumaquill {

// libsodium initialised, once per process (sodium_init is safe to repeat,
// but every caller goes through here); false when it cannot run.
bool SodiumReady();

} // namespace lumaquill
