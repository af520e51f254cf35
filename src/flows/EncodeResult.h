#pragma once

#include "image/PictureFormat.h"

#include <cstdint>
#include <optional>

namespace lumaquill {

// What an encode job did.
struct EncodeResult {
    enum class Kind {
        // The encoded picture is held, ready to preview and save.
        Encoded,
        // Refused or failed; the reason has been shown.
        Failed,
        // The user stopped the run; no message was shown, and the cover is
        // back as it was.
        Cancelled,
    };

    Kind What = Kind::Failed;
    // The only format the result can be saved in (a stealth JPEG is a JPEG),
    // or nothing when any lossless format written takes it.
    std::optional<PictureFormat> Format;
    // A sealed payload's size, the one the container was checked for; 0
    // when the payload was not sealed.
    uint64_t SealedBytes = 0;

    bool Encoded() const { return What == Kind::Encoded; }
};

} // namespace lumaquill
