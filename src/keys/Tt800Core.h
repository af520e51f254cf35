#pragma once

#include <cstdint>

namespace lumaquill {

// A 25-word TT800-style generator. Unlike the published TT800 its twist
// XORs no constant for odd words, and its tempering has no 0x8EBFD028 step;
// stored images depend on this variant.
class Tt800Core {
public:
    static constexpr int kWords = 25;

    virtual ~Tt800Core() = default;

    // Sets x[0..24] and k = 0: the first draw uses x[0] untwisted.
    void Init(const uint32_t words[kWords]);
    // The tempered word times the double nearest 1 / (2^32 - 1); in [0, 1].
    double NextUnit();

private:
    uint32_t X[kWords] = {};
    int32_t K = 0;
};

} // namespace lumaquill
