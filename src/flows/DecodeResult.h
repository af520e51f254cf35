#pragma once

#include <string>

namespace lumaquill {

// What a decode job did with what it found.
struct DecodeResult {
    enum class Kind {
        // Text holds the decoded text.
        Text,
        // The decoded file was written to Path, or to the front end's own
        // stream (Path empty).
        FileWritten,
        // The save prompt was declined (or there was none): nothing written.
        SaveDeclined,
        // Writing to Path (empty: the front end's stream) failed for Reason;
        // the message has been shown and the file is still held, so the save
        // can be asked for again (StegFlows::SaveDecodedAgain).
        WriteFailed,
        // Nothing usable was found under this key.
        Nothing,
        // The user stopped the run; no message was shown.
        Cancelled,
        // The picture's file could not be read again for the run; said.
        Unreadable,
    };

    Kind What = Kind::Nothing;
    std::string Text;
    std::string Path;
    std::string Reason;
    // A JPEG was tried as a stealth JPEG: Nothing is then said with
    // kStealthJpegNotOpened rather than kNothingDecoded.
    bool FromJpeg = false;
};

} // namespace lumaquill
