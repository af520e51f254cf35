#pragma once

#include "seal/SecretBytes.h"
#include "stealth/StealthStatus.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumaquill {
class DibImage;
class ProgressSink;
} // namespace lumaquill

namespace lumaquill::stealth {

// Hides content (the zlib stream) and storedName (already cut to the
// stored-name rules by the caller) in the R, G, B samples of image (24- or
// 32-bit DibImage, changed in place; alpha untouched). A fresh random salt
// per call. progress may be null. Unless Done, image is left unchanged.
StealthStatus Hide(DibImage& image, const SecretBytes& password, std::span<const uint8_t> content,
    std::string_view storedName, ProgressSink* progress);

// Opens a stealth image: Done with content and storedName filled, or
// NotOpened. Costs one Argon2id.
StealthStatus Open(const DibImage& image, const SecretBytes& password, std::vector<uint8_t>& content,
    std::string& storedName, ProgressSink* progress);

} // namespace lumaquill::stealth
