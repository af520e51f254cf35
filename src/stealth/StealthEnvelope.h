#pragma once

#include "seal/SecretBytes.h"
#include "stealth/StealthKeys.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumaquill::stealth {

// The envelope a stealth image carries: XChaCha20-Poly1305-IETF under the
// envelope key and nonce, additional data kAdditionalDataText || LE32(W) ||
// LE32(H), plaintext n (1 byte) || n name bytes || the zlib stream; the
// ciphertext is followed by the 16-byte tag.
class StealthEnvelope {
public:
    struct Opened {
        std::vector<uint8_t> Content;
        std::string StoredName;
    };

    // Nothing when memory is short. REQUIRES: name at most kMaxNameBytes.
    static std::optional<std::vector<uint8_t>> Seal(const StealthKeys& keys, int32_t width, int32_t height,
        std::string_view name, std::span<const uint8_t> content);
    // Nothing when the envelope does not authenticate, or its plaintext
    // holds no name length or a name length beyond kMaxNameBytes or the
    // plaintext.
    static std::optional<Opened> Open(
        const StealthKeys& keys, int32_t width, int32_t height, std::span<const uint8_t> envelope);
};

} // namespace lumaquill::stealth
