#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumaquill {

// What an encoded image stores as a payload file's name, and the bare file
// name a decoded file is offered under. Names are UTF-8 bytes; images
// written by older builds may carry Windows-1252 bytes.

// The name field of EmbedModes 0-3: the part after the last '\' or '/', at
// most kMaxNameBytes bytes. A cut never leaves a partial UTF-8 sequence at
// the end of a UTF-8 name.
std::string StoredNameField(const std::string& name);

// A stored name is untrusted. The result is its last component (after '/'
// or '\'), read as Windows-1252 when it is not UTF-8 (a UTF-8 sequence cut
// at the end of the field is dropped first), with control characters
// replaced by '_'; an empty name, "." and ".." become kFallbackFileName,
// and the leading dots of any other name become '_'.
// The result never names anything outside the folder it is joined to.
std::string SafeFileName(const std::string& storedName);

inline constexpr const char* kFallbackFileName = "decoded.bin";

// Strict UTF-8 (RFC 3629): no overlong forms, no surrogates, nothing above
// U+10FFFF.
bool IsValidUtf8(std::string_view text);

// Every byte as its Windows-1252 character; the five bytes that code page
// leaves undefined map to the C1 control characters of the same value.
std::string Windows1252ToUtf8(std::string_view text);

} // namespace lumaquill
