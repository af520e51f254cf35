#pragma once

#include <cstdint>

namespace lumaquill {

class ScaledImage;
class StegEngine;

// Whether a payload fits the loaded container, known before the key is
// asked for. The encode's own checks stay for what this cannot foresee: a
// sealed payload is larger than the one checked here, and a picture whose
// Capacity(3) is not positive has no size that fits every key.
struct PayloadFit {
    bool Fits = true;
    // The limit not met is what a decode restores (20 x Capacity(5)), which
    // the unpacked size exceeds, rather than the room for the stream.
    bool Unpacked = false;
    // The compressed size, or the unpacked size when Unpacked; 0 (with
    // Limit) when no limit is known.
    uint64_t Size = 0;
    // The most the container takes, or restores when Unpacked.
    uint64_t Limit = 0;
};

// The loaded container as it is, not shrunk (shrinking never adds room) and
// not replaced by noise (a noise picture is sized for the payload).
PayloadFit CheckPayloadFit(const StegEngine& engine, uint32_t payloadSize, uint64_t originalSize);

// Shrink to fit: the rescaled picture for this payload, made from the
// loaded container but not loaded. False, with nothing made, when the
// container stays as it is: it is no larger than the payload needs, or the
// rescaled picture could not give originalSize back.
bool MakeShrunkContainer(const StegEngine& engine, uint32_t payloadSize, uint64_t originalSize, ScaledImage& scaled);

} // namespace lumaquill
