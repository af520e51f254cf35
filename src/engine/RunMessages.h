#pragma once

#include "core/Frontend.h"

#include <string>

namespace lumaquill {

// The messages the encode and decode runs show.
namespace runmessage {
inline constexpr const char* kInvalidContainer = "Invalid container image.";
inline constexpr const char* kNoSuitableEncoder = "Could not find a suitable encoder.";
inline constexpr const char* kUnableToEncode = "Unable to encode data.";
inline constexpr const char* kNoInputBuffer = "Could not allocate memory for input buffer.";
inline constexpr const char* kNoOutputBuffer = "Could not allocate memory for output buffer.";
inline constexpr const char* kNothingDecoded = "Could not decode any useful information from this image.";
// The decoded file could not be written: "Could not write PATH: REASON."
inline constexpr const char* kCouldNotWrite = "Could not write ";
inline constexpr const char* kCouldNotWriteStream = "Could not write the decoded file to its output.";
} // namespace runmessage

// Shows a message through the front end; nothing when it has no sink.
inline void ShowRunMessage(const Frontend& host, const std::string& text, MessageIcon icon = MessageIcon::Exclamation)
{
    if (host.Messages)
        host.Messages->ShowMessage(text, icon);
}

} // namespace lumaquill
