#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace lumaquill {

// Asks where a decoded file goes. The offered name is already reduced to a
// bare, safe file name. Returns the full target path, or nothing when the
// user declines (then nothing is written).
class SavePrompt {
public:
    virtual ~SavePrompt() = default;
    virtual std::optional<std::string> AskSavePath(const std::string& offeredName) = 0;
    // A front end that takes the decoded bytes on a stream of its own (a
    // pipe on standard output) returns it; no file is then asked for or
    // written.
    virtual std::ostream* SaveStream() { return nullptr; }
    // A front end that writes the decoded file itself (the flows, which
    // report what became of it) takes its bytes here under the offered name
    // and returns true; nothing is then asked or written by the core.
    virtual bool TakeDecodedFile(const std::string& offeredName, std::span<const uint8_t> bytes)
    {
        (void)offeredName;
        (void)bytes;
        return false;
    }
};

} // namespace lumaquill
