#include "keys/Tt800Core.h"

namespace lumaquill {

namespace {

// Each twisted word takes the word this many places ahead (mod 25).
constexpr int kOffset = 7;

} // namespace

void Tt800Core::Init(const uint32_t words[kWords])
{
    for (int i = 0; i < kWords; ++i) {
        X[i] = words[i];
    }
    K = 0;
}

void Tt800Core::Twist()
{
    // In place and in increasing order: the last seven words take words
    // 0..6 as this pass has already rewritten them. No constant is mixed in
    // for odd words.
    int j = 0;
    for (; j < kWords - kOffset; ++j) {
        X[j] = X[j + kOffset] ^ (X[j] >> 1);
    }
    for (; j < kWords; ++j) {
        X[j] = X[j + kOffset - kWords] ^ (X[j] >> 1);
    }
    K = 0;
}

} // namespace lumaquill
