#pragma once

#include <cstdint>

namespace lumaquill {

enum DecodeOutcome : int32_t {
    TextDecoded = 0, // the holder has the text
    FileWritten = 1, // the save step ran; the holder has the target path (empty when declined)
    NothingDecoded = 2, // nothing usable was extracted
    DecodeCancelled = 3, // the user stopped the run before anything was delivered; no message was shown
};

} // namespace lumaquill
