#include "flows/PayloadFit.h"

#include "engine/ContainerFormat.h"
#include "engine/StegEngine.h"
#include "flows/EncodeFlow.h"
#include "image/ScaledImage.h"

namespace lumaquill {

PayloadFit CheckPayloadFit(const StegEngine& engine, uint32_t payloadSize, uint64_t originalSize)
{
    const uint32_t largest = LargestPayload(engine);
    if (largest == 0)
        return {};
    if (payloadSize > largest)
        return { false, false, payloadSize, largest };
    const uint64_t decodable = DecodableBytes(engine.Capacity(container::kDecodeCapacityMode));
    if (decodable < originalSize)
        return { false, true, originalSize, decodable };
    return { true, false, payloadSize, largest };
}

bool MakeShrunkContainer(const StegEngine& engine, uint32_t payloadSize, uint64_t originalSize, ScaledImage& scaled)
{
    int32_t width = 0;
    int32_t height = 0;
    if (!ShrinkSize(engine.Width(), engine.Height(), engine.PixelBytes(), payloadSize, width, height))
        return false;
    scaled.CreateForTarget(engine, ScaledImage::ShrinkTarget(payloadSize));
    const int32_t capacity
        = StegEngine::CapacityFor(scaled.Width(), scaled.Height(), kMadeContainerBits, container::kDecodeCapacityMode);
    if (DecodableBytes(capacity) >= originalSize)
        return true;
    scaled.Release();
    return false;
}

} // namespace lumaquill
