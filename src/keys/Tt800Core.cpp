#include "keys/Tt800Core.h"

#include "keys/ExactWord.h"

#include <algorithm>

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

void Tt800Core::FillUnits(double* out, int count)
{
    while (count > 0) {
        if (K >= kWords) {
            Twist();
        }
        const int run = std::min(count, kWords - K);
        const uint32_t* words = X + K;
        int j = 0;
        // Groups of four let the compiler run tempering and conversion four
        // words at a time.
        for (; j + 4 <= run; j += 4) {
            for (int k = 0; k < 4; ++k) {
                out[j + k] = WordAsDouble(Temper(words[j + k])) * IsaacCore::kUnitScale;
            }
        }
        for (; j < run; ++j) {
            out[j] = WordAsDouble(Temper(words[j])) * IsaacCore::kUnitScale;
        }
        K += run;
        out += run;
        count -= run;
    }
}

} // namespace lumaquill
