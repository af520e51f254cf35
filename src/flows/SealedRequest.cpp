#include "flows/SealedRequest.h"

#include "flows/Payload.h"
#include "seal/SealedEnvelope.h"
#include "seal/SealedKey.h"

#include <algorithm>

namespace lumaquill {

std::optional<EncodeRequest> SealRequest(const EncodeRequest& request)
{
    const std::optional<std::vector<uint8_t>> envelope = SealedEnvelope::Seal(request.Payload, request.Password.Span());
    if (!envelope)
        return std::nullopt;
    const std::optional<SecretBytes> storedKey = SealedKey::StoredKeyText(request.Password.Span());
    if (!storedKey)
        return std::nullopt;
    std::optional<std::vector<uint8_t>> stream = CompressPayload(envelope->data(), envelope->size());
    if (!stream)
        return std::nullopt;
    EncodeRequest sealed;
    sealed.Payload = std::move(*stream);
    sealed.OriginalSize = std::max<uint64_t>(envelope->size(), request.OriginalSize);
    sealed.Name = request.Name;
    sealed.Noise = request.Noise;
    sealed.Shrink = request.Shrink;
    sealed.OutFormat = request.OutFormat;
    sealed.Key = KeyDigests::FromText(storedKey->View());
    sealed.Speed = request.Speed;
    return sealed;
}

} // namespace lumaquill
