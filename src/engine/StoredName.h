#pragma once

#include <cstdint>
#include <string>

namespace lumaquill {

// What an encoded image stores as a payload file's name, and the bare file
// name a decoded file is offered under. Names are UTF-8 bytes; images
// written by older builds may carry Windows-1252 bytes.

// The name an encode stores for a payload file: the part after the last '\'
// or '/', at most limit bytes (kMaxNameBytes in EmbedModes 0-3,
// kMaxNoiseNameBytes in EmbedMode 4). A longer name with an extension (from
// its last '.', when that is not its first byte and the extension is at
// most kMaxKeptExtensionBytes long) keeps the extension and cuts the part
// before it; without one the name is cut to limit bytes. A cut never splits
// a character of a UTF-8 name: it moves back to the character's start.
std::string StoredNameField(const std::string& name, uint32_t limit);

// A stored name is untrusted. The result is its last component (after '/'
// or '\'; older noise images store whole paths), read as Windows-1252 when
// it is not UTF-8 (a UTF-8 sequence cut at the end of the field is dropped
// first), with control characters replaced by '_' and invisible format
// characters (see IsInvisibleCodePoint in io/Utf8.h) dropped; an empty name, "." and ".."
// become kFallbackFileName, and leading dots become '_', so a decoded file
// is never hidden (".bash_profile" is saved as "_bash_profile"). The result
// never names anything outside the folder it is joined to.
std::string SafeFileName(const std::string& storedName);

inline constexpr const char* kFallbackFileName = "decoded.bin";
// The longest extension a cut name keeps, its '.' included.
inline constexpr size_t kMaxKeptExtensionBytes = 16;

} // namespace lumaquill
