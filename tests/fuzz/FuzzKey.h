#pragma once

namespace lumaquill::fuzz {

// The key every decode seed is encoded with: its password, and the answers
// of its questions joined in order (the seeds with two questions split it
// into "fuzz-" and "password"). tests/fuzz/make_seeds.sh uses the same text.
inline constexpr const char* kSeedKeyText = "fuzz-password";

} // namespace lumaquill::fuzz
