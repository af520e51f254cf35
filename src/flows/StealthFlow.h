#pragma once

#include "engine/DecodeOutcome.h"
#include "stealth/StealthSizes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill {

class SecretBytes;
class StegEngine;
struct EncodeRequest;

// A file's name as a stealth image or a stealth JPEG stores it, under the
// rules of EmbedModes 0-3; empty for a text.
std::string StealthStoredName(const EncodeRequest& request);

// The request's part of every stealth refusal, whatever the carrier: keyed
// by anything but a typed password alone, noise, shrink (a stealth carrier
// hides in the cover as it is). Empty when there is none.
std::string StealthRequestRefusal(const EncodeRequest& request);

// The decoded content of a stealth carrier is held to the same cap as a
// classic decode of the picture: 20 times its Capacity(5).
uint64_t StealthOutputCap(const StegEngine& engine);

// An opened stealth carrier's zlib stream delivered as every decode does
// (see DeliverOpenedPayload), then wiped.
DecodeOutcome DeliverStealthPayload(
    StegEngine& engine, std::vector<uint8_t>& stream, const std::string& storedName, std::string& holder);

// The bytes a stealth image carries for the request, the figure its sizes
// are compared with: the zlib stream and the stored name of its file.
uint64_t StealthPayloadBytes(const EncodeRequest& request);

// The safe and largest sizes the loaded container offers a stealth image;
// 0 and 0 without a usable (24- or 32-bit) container, or for a picture too
// small for the format. A lossy cover still gets its figures: the refusal
// says why it cannot be used.
stealth::StealthSizes StealthSizesOf(const StegEngine& engine);

// Why the request cannot become a stealth image of the loaded container,
// the first problem in this order: questions or no password, noise,
// shrink, a lossy cover, a picture too small, a grey picture, a payload
// above the largest size, a content the decode could not restore. Empty when it can; a
// payload above the safe size is allowed (see StealthAboveSafe).
std::string StealthRefusal(const StegEngine& engine, const EncodeRequest& request);

// The container's part of StealthRefusal, from the lossy cover on: what a
// dialog can tell before the password step.
std::string StealthCoverRefusal(const StegEngine& engine, const EncodeRequest& request);

// The refusal of a payload above the carrier's largest size, or of a
// content the decode of the picture could not restore; empty when there is
// none.
std::string StealthSizeRefusal(
    const StegEngine& engine, const stealth::StealthSizes& sizes, const EncodeRequest& request);

// The refusal of a payload above the largest size, stating it and both
// sizes.
std::string StealthTooLarge(uint64_t payloadBytes, const stealth::StealthSizes& sizes);

// The warning for a payload above the safe size but within the largest.
std::string StealthAboveSafe(uint64_t payloadBytes, const stealth::StealthSizes& sizes);

// The stealth encode, for a request with Stealth set: refused with
// StealthRefusal's message, warned of with StealthAboveSafe's, then the
// payload and its stored name are hidden in the loaded container's pixels
// under the password (one Argon2id), in memory. The caller then previews
// and saves with SaveContainer, as after RunEncode.
bool RunStealthEncode(StegEngine& engine, const EncodeRequest& request);

// Opens the loaded container as a stealth image with the typed password
// (one Argon2id) and delivers what it holds as every decode does: a text
// into holder, a file through the save prompt under its safe stored name.
// NothingDecoded, silently, for a wrong password, an image that holds no
// stealth image or one that was changed. An image with questions, or one
// too small to be a stealth image, is not tried and costs nothing.
DecodeOutcome RunStealthDecode(StegEngine& engine, const SecretBytes& password, std::string& holder);

} // namespace lumaquill
