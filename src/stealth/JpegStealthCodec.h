#pragma once

#include "seal/SecretBytes.h"
#include "stealth/StealthSizes.h"
#include "stealth/StealthStatus.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumaquill {
struct JpegCoefficients;
class ProgressSink;
} // namespace lumaquill

namespace lumaquill::stealth {

// Stealth JPEGs: content and stored name hidden in the quantised DCT
// coefficients of a JPEG, by +-1 changes at UERD costs through the codes,
// keys and envelope of stealth images (JpegStealthFormat.h).
class JpegStealthCodec {
public:
    // The sizes of a cover, its rates per non-zero AC coefficient; 0/0 when
    // it is too small for the format.
    static StealthSizes SizesFor(const JpegCoefficients& jpeg);

    // Hides content (the zlib stream) and storedName (already cut to the
    // stored-name rules) in jpeg's coefficients, changed in place. A fresh
    // random salt per call. Unsuitable when the cover is too small, holds a
    // coefficient it cannot code, or memory is short. progress may be null.
    static StealthStatus Hide(JpegCoefficients& jpeg, const SecretBytes& password, std::span<const uint8_t> content,
        std::string_view storedName, ProgressSink* progress);
    // Done with content and storedName filled, or NotOpened. Costs one
    // Argon2id.
    static StealthStatus Open(const JpegCoefficients& jpeg, const SecretBytes& password, std::vector<uint8_t>& content,
        std::string& storedName, ProgressSink* progress);

    // The same on JPEG files: out is the cover rewritten with the changed
    // coefficients. A file that cannot be read is Unsuitable to Hide and
    // NotOpened to Open.
    static StealthStatus HideFile(std::span<const uint8_t> cover, const SecretBytes& password,
        std::span<const uint8_t> content, std::string_view storedName, std::vector<uint8_t>& out,
        ProgressSink* progress);
    static StealthStatus OpenFile(std::span<const uint8_t> file, const SecretBytes& password,
        std::vector<uint8_t>& content, std::string& storedName, ProgressSink* progress);
};

} // namespace lumaquill::stealth
