#pragma once

#include "engine/DecodeOutcome.h"
#include "stealth/StealthSizes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumaquill {

class SecretBytes;
class StegEngine;
struct EncodeRequest;

// What info shows of a JPEG as a stealth JPEG cover.
struct StealthJpegFacts {
    // The libjpeg quality its luminance table matches best (1 to 100).
    int Quality = 0;
    // "4:2:0", "greyscale", ...
    std::string Subsampling;
    // Its rates per non-zero AC coefficient; 0 and 0 when too small.
    stealth::StealthSizes Sizes;
};

// Nothing when the file cannot be read as a stealth JPEG cover (not an
// 8-bit greyscale or colour JPEG, damaged, beyond the picture limits).
std::optional<StealthJpegFacts> StealthJpegFactsOf(std::span<const uint8_t> file);

// The cover's part of the stealth JPEG refusal, for a JPEG of these sizes:
// too small, a payload above the largest size, a content the decode could
// not restore. Empty when there is none.
std::string StealthJpegCoverRefusal(
    const StegEngine& engine, const stealth::StealthSizes& sizes, const EncodeRequest& request);

// The stealth encode of a JPEG cover into a JPEG, for a request with
// Stealth set: refused and warned of as RunStealthEncode does (passwords
// only, the sizes, what a decode could restore), then the payload and its
// stored name are hidden in the cover's coefficients (one Argon2id) and out
// receives the file's bytes. The engine holds the cover as loaded (its
// pixels only size the decode's output cap) and gives the frontend.
bool RunStealthJpegEncode(
    StegEngine& engine, std::span<const uint8_t> cover, const EncodeRequest& request, std::vector<uint8_t>& out);

// Opens a JPEG file as a stealth JPEG with the typed password (one
// Argon2id) and delivers what it holds as every decode does. NothingDecoded,
// silently, when it holds nothing under this password; the caller then says
// kStealthJpegNotOpened. The engine holds the picture as loaded.
DecodeOutcome RunStealthJpegDecode(
    StegEngine& engine, std::span<const uint8_t> file, const SecretBytes& password, std::string& holder);

} // namespace lumaquill
