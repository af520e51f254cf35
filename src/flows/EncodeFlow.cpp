#include "flows/EncodeFlow.h"

#include "core/MessageText.h"
#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "engine/StegEngine.h"
#include "engine/WalkBudget.h"
#include "flows/PayloadFit.h"
#include "flows/SealedRequest.h"
#include "flows/StealthFlow.h"
#include "image/BmpFormat.h"
#include "image/NoiseImage.h"
#include "image/PictureFile.h"
#include "image/PictureLimits.h"
#include "image/ScaledImage.h"
#include "keys/QuestionSet.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace lumaquill {

namespace {

constexpr int32_t kNoiseBorder = 2;

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

bool NoiseFitsLimits(int32_t n)
{
    const uint64_t side = uint64_t(n) + kNoiseBorder;
    return limits::Fits(side, side, kMadeContainerBits);
}

// The picture the run makes can be saved in the chosen format, and read
// back; otherwise the run is refused before the work, with the reason.
bool OutputTakes(
    const StegEngine& engine, const EncodeRequest& request, uint32_t width, uint32_t height, uint16_t bitsPerPixel)
{
    const std::string problem
        = PictureFile::WriteProblem(request.OutFormat.value_or(DefaultOutputFormat()), width, height, bitsPerPixel);
    if (problem.empty())
        return true;
    ShowWarning(engine, message::kOutputCannotHold + problem + ".");
    return false;
}

// A noise picture sized for the payload becomes the container, in EmbedMode 4.
bool UseNoiseContainer(StegEngine& engine, const EncodeRequest& request, uint32_t payloadSize)
{
    const int32_t n = NoiseSide(payloadSize, request.OriginalSize);
    if (!NoiseFitsLimits(n) || NoiseDecodableBytes(n) < request.OriginalSize) {
        ShowWarning(engine,
            message::kNoiseTooLarge + std::string("its picture would be larger than Lumaquill reads back, ")
                + limits::Text() + ". Use a smaller file.");
        return false;
    }
    const auto side = uint32_t(n + kNoiseBorder);
    if (!OutputTakes(engine, request, side, side, kMadeContainerBits))
        return false;
    if (!engine.AdoptNoiseContainer(n)) {
        ShowWarning(engine, message::kTempContainerFailed);
        return false;
    }
    return true;
}

// The container rescaled to about the payload's needs, when that is smaller
// than it is and still gives the original size back.
bool ShrinkContainer(StegEngine& engine, uint32_t payloadSize, uint64_t originalSize)
{
    ScaledImage scaled;
    if (!MakeShrunkContainer(engine, payloadSize, originalSize, scaled))
        return true;
    const bool loaded = engine.AdoptScaledContainer(scaled);
    if (!loaded)
        ShowWarning(engine, message::kTempContainerFailed);
    return loaded;
}

bool RunSealedEncode(StegEngine& engine, const EncodeRequest& request)
{
    const std::optional<EncodeRequest> sealed = SealForEncode(engine, request);
    return sealed && RunEncode(engine, *sealed);
}

bool DecodableAgain(StegEngine& engine, uint64_t originalSize)
{
    const uint64_t decodable = DecodableBytes(engine.Capacity(container::kDecodeCapacityMode));
    if (decodable >= originalSize)
        return true;
    ShowWarning(engine, TooLargeToDecode(originalSize, decodable));
    return false;
}

} // namespace

void ShowWarning(const StegEngine& engine, const std::string& text)
{
    if (MessageSink* messages = engine.GetFrontend().Messages)
        messages->ShowMessage(text, MessageIcon::Exclamation);
}

std::optional<EncodeRequest> SealForEncode(const StegEngine& engine, const EncodeRequest& request)
{
    if (request.Questions && request.Questions->UsedFlags[0]) {
        ShowWarning(engine, message::kSealPasswordsOnly);
        return std::nullopt;
    }
    std::optional<EncodeRequest> sealed;
    {
        BusyScope busy(engine.GetFrontend().Busy);
        sealed = SealRequest(request);
    }
    if (!sealed)
        ShowWarning(engine, message::kSealFailed);
    return sealed;
}

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

// The rescaled picture has about target pixels plus three a side. The
// target is weighed against the cover's bytes, not its pixels, so the
// picture can be up to three times the cover's area: where that would pass
// the limits, the container is kept as it is.
bool ShrinkSize(
    int32_t width, int32_t height, uint32_t pixelBytes, uint32_t payloadSize, int32_t& newWidth, int32_t& newHeight)
{
    const uint32_t target = ScaledImage::ShrinkTarget(payloadSize);
    return target < pixelBytes && ScaledImage::SizeForTarget(width, height, target, newWidth, newHeight)
        && limits::Fits(uint64_t(newWidth), uint64_t(newHeight), kMadeContainerBits);
}

int32_t NoiseSide(uint32_t payloadSize, uint64_t originalSize)
{
    int32_t n = NoiseImage::SideFor(payloadSize);
    while (NoiseDecodableBytes(n) < originalSize && NoiseFitsLimits(n + 1))
        ++n;
    return n;
}

// The densest mode takes what any mode takes: the largest payload that its
// capacity (when positive) and the walk after a question header without
// questions hold with the longest name field, and that the reader's
// Capacity(5) gives back.
uint32_t LargestPayload(const StegEngine& engine)
{
    const int32_t width = engine.Width();
    const int32_t height = engine.Height();
    const int32_t remaining = UsedPixelMap::InteriorCells(width, height) - container::kEmptyHeaderPixels;
    const int64_t positions = WalkBudget::PositionsLeft(width, height, remaining);
    int64_t largest = WalkBudget::LargestPayload(EmbedBits012, positions, container::kMaxNameBytes);
    const int32_t densest = engine.Capacity(EmbedBits012);
    if (densest > 0)
        largest = std::min<int64_t>(largest, int64_t(densest) - 1);
    largest = std::min<int64_t>(largest, engine.Capacity(container::kDecodeCapacityMode));
    return largest > 0 ? static_cast<uint32_t>(largest) : 0;
}

// The loaded container, as the run will leave it in size, can be saved in
// the chosen format.
bool OutputTakesContainer(const StegEngine& engine, const EncodeRequest& request)
{
    return !request.OutFormat
        || OutputTakes(engine, request, uint32_t(engine.Width()), uint32_t(engine.Height()), engine.BitCount());
}

bool RunEncode(StegEngine& engine, const EncodeRequest& request)
{
    // A stealth image keeps its cover's size, so its output is checked
    // before the work like any other.
    if (request.Stealth)
        return OutputTakesContainer(engine, request) && RunStealthEncode(engine, request);
    if (request.Seal)
        return RunSealedEncode(engine, request);
    if (request.Payload.size() > std::numeric_limits<uint32_t>::max()) {
        ShowWarning(engine, message::kNoSuitableEncoder);
        return false;
    }
    const auto size = static_cast<uint32_t>(request.Payload.size());
    engine.Keys.Reset();
    HandOverKey(engine.Keys, request);
    HandOverQuestions(engine.Keys, request.Questions);
    if (request.Noise && !UseNoiseContainer(engine, request, size))
        return false;
    if (request.Shrink && !ShrinkContainer(engine, size, request.OriginalSize))
        return false;
    if (!DecodableAgain(engine, request.OriginalSize))
        return false;
    if (!OutputTakesContainer(engine, request))
        return false;
    if (!engine.Encode(request.Payload.data(), size, request.Name))
        return false;
    // The container now holds the encoded pixels exactly, whatever the
    // cover's format, so a decode right after the encode can read them.
    engine.LastLoad.Lossless = true;
    return true;
}

} // namespace lumaquill
