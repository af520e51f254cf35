#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumaquill {

// UTF-8 as stored names and texts hold it: strict validity, the sequences a
// text is made of, the Windows-1252 reading of bytes that are not UTF-8,
// and the characters that show nothing.

// True for a byte that continues a sequence (10xxxxxx).
bool IsUtf8Continuation(uint8_t byte);

// The length of the valid sequence at text[at], 0 when none starts there.
// REQUIRES: at < text.size().
size_t ValidSequenceAt(std::string_view text, size_t at);

// The start of the last sequence when it is a lead byte whose continuation
// bytes were cut off; text.size() when the text does not end that way.
size_t TruncatedTailStart(std::string_view text);

// The code point of the valid UTF-8 sequence of length bytes at text[at].
uint32_t CodePointAt(std::string_view text, size_t at, size_t length);

// Strict UTF-8 (RFC 3629): no overlong forms, no surrogates, nothing above
// U+10FFFF.
bool IsValidUtf8(std::string_view text);

// Every byte as its Windows-1252 character; the five bytes that code page
// leaves undefined map to the C1 control characters of the same value.
std::string Windows1252ToUtf8(std::string_view text);

// True for a code point that shows nothing or changes how the text around
// it reads: the general categories Cf (direction marks, embeddings,
// overrides and isolates, zero-width characters, the soft hyphen, the byte
// order mark, tag characters, ...), Zl and Zp, the Hangul fillers and the
// whole Tags block (see InvisibleCharacterTable.h for the Unicode version).
bool IsInvisibleCodePoint(uint32_t codePoint);

// The length of the valid UTF-8 sequence at text[at] when its character is
// invisible (IsInvisibleCodePoint); 0 otherwise.
size_t InvisibleCharacterAt(std::string_view text, size_t at);

} // namespace lumaquill
