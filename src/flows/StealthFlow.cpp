#include "flows/StealthFlow.h"

#include "core/MessageText.h"
#include "engine/ContainerFormat.h"
#include "engine/RunProgress.h"
#include "engine/StegEngine.h"
#include "engine/StoredName.h"
#include "flows/EncodeFlow.h"
#include "flows/StealthMessages.h"
#include "keys/QuestionSet.h"
#include "seal/SecretBytes.h"
#include "stealth/StealthCodec.h"

#include <sodium.h>

namespace lumaquill {

namespace {

std::string Bytes(uint64_t count)
{
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

std::string LossyCover(const StegEngine& engine)
{
    return StealthMessages::LossyCover(PictureFormatName(engine.LastLoad.Format));
}

// Red, green and blue equal in every pixel. Precondition: a usable (24- or
// 32-bit) picture.
bool IsGrey(const DibImage& image)
{
    const size_t pixelBytes = image.BitCount() / 8u;
    const size_t rowBytes = pixelBytes * static_cast<size_t>(image.Width());
    const std::vector<uint8_t>& rows = image.Pixels();
    for (size_t row = 0; row < static_cast<size_t>(image.Height()); ++row) {
        const uint8_t* pixel = rows.data() + row * image.Stride();
        for (size_t at = 0; at < rowBytes; at += pixelBytes) {
            if (pixel[at] != pixel[at + 1] || pixel[at] != pixel[at + 2])
                return false;
        }
    }
    return true;
}

} // namespace

std::string StealthStoredName(const EncodeRequest& request)
{
    return request.Name.empty() ? std::string() : StoredNameField(request.Name, container::kMaxNameBytes);
}

// A stealth image is sealed by its nature, and questions store their
// answers' digests in the clear.
std::string StealthRequestRefusal(const EncodeRequest& request)
{
    const bool questions = request.Questions && request.Questions->UsedFlags[0];
    if (questions || request.Password.empty())
        return message::kStealthPasswordsOnly;
    if (request.Noise)
        return StealthMessages::NoNoise();
    if (request.Shrink)
        return message::kStealthNoShrink;
    return {};
}

uint64_t StealthOutputCap(const StegEngine& engine)
{
    return DecodableBytes(engine.Capacity(container::kDecodeCapacityMode));
}

DecodeOutcome DeliverStealthPayload(
    StegEngine& engine, std::vector<uint8_t>& stream, const std::string& storedName, std::string& holder)
{
    const DecodeOutcome outcome
        = engine.DeliverOpenedPayload(stream.data(), stream.size(), storedName, StealthOutputCap(engine), holder);
    sodium_memzero(stream.data(), stream.size());
    return outcome;
}

std::string StealthCoverRefusal(const StegEngine& engine, const EncodeRequest& request)
{
    if (!engine.LastLoad.Lossless)
        return LossyCover(engine);
    const stealth::StealthSizes sizes = StealthSizesOf(engine);
    if (sizes.Largest == 0)
        return message::kStealthUnsuitable;
    if (IsGrey(engine))
        return message::kStealthGreyCover;
    return StealthSizeRefusal(engine, sizes, request);
}

std::string StealthSizeRefusal(
    const StegEngine& engine, const stealth::StealthSizes& sizes, const EncodeRequest& request)
{
    const uint64_t bytes = StealthPayloadBytes(request);
    if (bytes > sizes.Largest)
        return StealthTooLarge(bytes, sizes);
    if (StealthOutputCap(engine) < request.OriginalSize)
        return TooLargeToDecode(request.OriginalSize, StealthOutputCap(engine));
    return {};
}

uint64_t StealthPayloadBytes(const EncodeRequest& request)
{
    return request.Payload.size() + StealthStoredName(request).size();
}

stealth::StealthSizes StealthSizesOf(const StegEngine& engine)
{
    if (!engine.IsUsableContainer())
        return {};
    return stealth::SizesFor(engine.Width(), engine.Height());
}

std::string StealthRefusal(const StegEngine& engine, const EncodeRequest& request)
{
    if (std::string refusal = StealthRequestRefusal(request); !refusal.empty())
        return refusal;
    return StealthCoverRefusal(engine, request);
}

std::string StealthTooLarge(uint64_t payloadBytes, const stealth::StealthSizes& sizes)
{
    return "This data is too large for a stealth image of this picture: it takes " + Bytes(payloadBytes)
        + " (compressed, with its name), and the picture takes at most " + Bytes(sizes.Largest)
        + "; up to its safe size of " + Bytes(sizes.Safe)
        + " detectors cannot tell it from an untouched photo. Hide less data or use a larger photo.";
}

std::string StealthAboveSafe(uint64_t payloadBytes, const stealth::StealthSizes& sizes)
{
    return "Warning: the data takes " + Bytes(payloadBytes) + " (compressed, with its name), more than this "
        + "picture's safe size of " + Bytes(sizes.Safe)
        + ", so the stealth image becomes detectable: detectors can tell that it carries something. To stay "
          "undetectable, hide at most "
        + Bytes(sizes.Safe) + " or use a larger photo.";
}

bool RunStealthEncode(StegEngine& engine, const EncodeRequest& request)
{
    if (const std::string refusal = StealthRefusal(engine, request); !refusal.empty()) {
        ShowWarning(engine, refusal);
        return false;
    }
    const stealth::StealthSizes sizes = StealthSizesOf(engine);
    const uint64_t bytes = StealthPayloadBytes(request);
    if (bytes > sizes.Safe)
        ShowWarning(engine, StealthAboveSafe(bytes, sizes));
    stealth::StealthStatus status = stealth::StealthStatus::NotOpened;
    {
        BusyScope busy(engine.GetFrontend().Busy);
        RunProgress progress(engine);
        status = stealth::Hide(
            engine, request.Password, request.Payload, StealthStoredName(request), engine.Progress.get());
    }
    if (status == stealth::StealthStatus::Done)
        return true;
    // The picture and the sizes have been checked: what is left is memory
    // running short on the way, which leaves the picture as it was.
    ShowWarning(
        engine, status == stealth::StealthStatus::TooLarge ? StealthTooLarge(bytes, sizes) : message::kStealthFailed);
    return false;
}

DecodeOutcome RunStealthDecode(StegEngine& engine, const SecretBytes& password, std::string& holder)
{
    holder.clear();
    if (engine.Keys.QuizlockPresent != 0 || !engine.LastLoad.Lossless || StealthSizesOf(engine).Largest == 0)
        return NothingDecoded;
    BusyScope busy(engine.GetFrontend().Busy);
    RunProgress progress(engine);
    std::vector<uint8_t> stream;
    std::string storedName;
    if (stealth::Open(engine, password, stream, storedName, engine.Progress.get()) != stealth::StealthStatus::Done)
        return NothingDecoded;
    return DeliverStealthPayload(engine, stream, storedName, holder);
}

} // namespace lumaquill
