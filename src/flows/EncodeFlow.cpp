#include "flows/EncodeFlow.h"

#include "core/MessageText.h"
#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "engine/StegEngine.h"
#include "flows/PayloadFit.h"
#include "flows/SealedRequest.h"
#include "image/BmpFormat.h"
#include "image/ColourProfile.h"
#include "image/NoiseImage.h"
#include "image/ScaledImage.h"
#include "keys/QuestionSet.h"

#include <limits>
#include <sstream>
#include <utility>

namespace lumaquill {

namespace {

// Noise and rescaled containers are 24-bit pictures.
constexpr uint16_t kMadeContainerBits = 24;
constexpr int32_t kNoiseBorder = 2;
// The largest noise picture whose rows a bitmap file's size field can hold.
constexpr uint64_t kMaxNoiseRowBytes = std::numeric_limits<uint32_t>::max() - bmp::kPlainPixelOffset;

void Warn(const StegEngine& engine, const std::string& text)
{
    if (MessageSink* messages = engine.GetFrontend().Messages)
        messages->ShowMessage(text, MessageIcon::Exclamation);
}

void HandOverKey(KeyMaterial& keys, const EncodeRequest& request)
{
    keys.PasswordDigest = request.Key.Sha1;
    keys.PasswordMd5 = request.Key.Md5;
    keys.DeriveMarker();
    keys.Speed = request.Speed;
}

// The question dialogs move used slots to the front, so the first flag says
// whether any question is set.
void HandOverQuestions(KeyMaterial& keys, QuestionSet* questions)
{
    if (questions && questions->UsedFlags[0]) {
        keys.BorrowQuestions(*questions);
        keys.QuizlockPresent = true;
    } else {
        keys.ClearQuestions();
        keys.QuizlockPresent = false;
    }
}

uint64_t NoiseDecodableBytes(int32_t n)
{
    const int32_t side = n + kNoiseBorder;
    return DecodableBytes(StegEngine::CapacityFor(side, side, kMadeContainerBits, container::kDecodeCapacityMode));
}

bool NoiseFitsBitmap(int32_t n)
{
    const uint64_t side = uint64_t(n) + kNoiseBorder;
    return bmp::Stride64(kMadeContainerBits, side) * side <= kMaxNoiseRowBytes;
}

// Loads a picture made in memory through the bytes its bitmap file would
// hold, so the container is exactly what writing and reading that file
// gives.
template <typename Picture> bool AdoptPicture(StegEngine& engine, const Picture& picture)
{
    std::stringstream file(std::ios::in | std::ios::out | std::ios::binary);
    return picture.Write(file) != 0 && engine.AdoptContainer(file);
}

// A noise picture sized for the payload becomes the container, in EmbedMode 4.
bool UseNoiseContainer(StegEngine& engine, uint32_t payloadSize, uint64_t originalSize)
{
    NoiseImage noise;
    noise.Create(NoiseSide(payloadSize, originalSize));
    if (!AdoptPicture(engine, noise)) {
        Warn(engine, message::kTempContainerFailed);
        return false;
    }
    engine.Keys.ModeFixed = true;
    engine.Keys.Mode = EmbedWholeBytes;
    return true;
}

// The container rescaled to about the payload's needs, when that is smaller
// than it is and still gives the original size back. The rescaled picture
// keeps the cover's colour profile for the saved output.
bool ShrinkContainer(StegEngine& engine, uint32_t payloadSize, uint64_t originalSize)
{
    ScaledImage scaled;
    if (!MakeShrunkContainer(engine, payloadSize, originalSize, scaled))
        return true;
    ColourProfile profile = engine.LastLoad.Profile;
    const bool loaded = AdoptPicture(engine, scaled);
    engine.LastLoad.Profile = std::move(profile);
    scaled.Release();
    if (!loaded)
        Warn(engine, message::kTempContainerFailed);
    return loaded;
}

bool RunSealedEncode(StegEngine& engine, const EncodeRequest& request)
{
    if (request.Questions && request.Questions->UsedFlags[0]) {
        Warn(engine, message::kSealPasswordsOnly);
        return false;
    }
    std::optional<EncodeRequest> sealed;
    {
        BusyScope busy(engine.GetFrontend().Busy);
        sealed = SealRequest(request);
    }
    if (!sealed) {
        Warn(engine, message::kSealFailed);
        return false;
    }
    return RunEncode(engine, *sealed);
}

bool DecodableAgain(StegEngine& engine, uint64_t originalSize)
{
    const uint64_t decodable = DecodableBytes(engine.Capacity(container::kDecodeCapacityMode));
    if (decodable >= originalSize)
        return true;
    Warn(engine, TooLargeToDecode(originalSize, decodable));
    return false;
}

} // namespace

uint64_t DecodableBytes(int32_t decodeCapacity)
{
    return decodeCapacity > 0 ? container::kOutputFactor * uint64_t(decodeCapacity) : 0;
}

std::string TooLargeToDecode(uint64_t originalSize, uint64_t decodableBytes)
{
    return std::string(message::kTooLargeToDecode) + "it has " + std::to_string(originalSize)
        + " bytes, and a decode of this image restores at most " + std::to_string(decodableBytes)
        + " bytes. Use a larger picture.";
}

int32_t NoiseSide(uint32_t payloadSize, uint64_t originalSize)
{
    int32_t n = NoiseImage::SideFor(payloadSize);
    while (NoiseDecodableBytes(n) < originalSize && NoiseFitsBitmap(n + 1))
        ++n;
    return n;
}

// ChooseMode takes sizes below Capacity(3); the reader's limit, Capacity(5),
// is larger whenever Capacity(3) is positive.
uint32_t LargestPayload(const StegEngine& engine)
{
    const int32_t densest = engine.Capacity(EmbedBits012);
    return densest > 0 ? static_cast<uint32_t>(densest - 1) : 0;
}

bool RunEncode(StegEngine& engine, const EncodeRequest& request)
{
    if (request.Seal)
        return RunSealedEncode(engine, request);
    if (request.Payload.size() > std::numeric_limits<uint32_t>::max()) {
        Warn(engine, message::kNoSuitableEncoder);
        return false;
    }
    const auto size = static_cast<uint32_t>(request.Payload.size());
    engine.Keys.Reset();
    HandOverKey(engine.Keys, request);
    HandOverQuestions(engine.Keys, request.Questions);
    if (request.Noise && !UseNoiseContainer(engine, size, request.OriginalSize))
        return false;
    if (request.Shrink && !ShrinkContainer(engine, size, request.OriginalSize))
        return false;
    if (!DecodableAgain(engine, request.OriginalSize))
        return false;
    if (!engine.Encode(request.Payload.data(), size, request.Name))
        return false;
    // The container now holds the encoded pixels exactly, whatever the
    // cover's format, so a decode right after the encode can read them.
    engine.LastLoad.Lossless = true;
    return true;
}

} // namespace lumaquill
