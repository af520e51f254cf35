#include "flows/EncodeFlow.h"

#include "engine/EmbedMode.h"
#include "engine/StegEngine.h"
#include "flows/TempFolder.h"
#include "image/ColourProfile.h"
#include "image/NoiseImage.h"
#include "image/ScaledImage.h"
#include "keys/QuestionSet.h"

#include <cstdio>
#include <limits>
#include <optional>
#include <utility>

namespace lumaquill {

namespace {

// A temporary container that cannot be written is not the user's input
// problem: say what went wrong.
constexpr const char* kTempFileFailed = "Could not write the temporary container image.";
// A payload beyond what a 32-bit size can state fits no container.
constexpr const char* kNoSuitableEncoder = "Could not find a suitable encoder.";

void Warn(const StegEngine& engine, const char* text)
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
    if (questions && questions->UsedFlags[0] != 0) {
        keys.BorrowQuestions(*questions);
        keys.QuizlockPresent = 1;
    } else {
        keys.ClearQuestions();
        keys.QuizlockPresent = 0;
    }
}

// Only the last component of a title names a file, so a temporary container
// never lands outside the private folder.
std::string BareTitle(const std::string& title)
{
    const size_t separator = title.find_last_of("\\/");
    return separator == std::string::npos ? title : title.substr(separator + 1);
}

std::optional<std::string> TempPath(const std::string& fileName)
{
    const std::optional<std::string> folder = PrivateTempFolder();
    if (!folder)
        return std::nullopt;
    std::string path = *folder + fileName;
    if (!PrepareTempFile(path))
        return std::nullopt;
    return path;
}

// A noise picture sized for the payload becomes the container, in EmbedMode 4.
// Its file stays; the next noise encode overwrites it.
bool UseNoiseContainer(StegEngine& engine, uint32_t payloadSize)
{
    const std::optional<std::string> path = TempPath("asyat.bmp");
    NoiseImage noise;
    noise.Create(NoiseImage::SideFor(payloadSize));
    if (!path || noise.Save(*path) == 0 || !engine.LoadContainer(*path)) {
        Warn(engine, kTempFileFailed);
        return false;
    }
    engine.Keys.ModeFixed = 1;
    engine.Keys.Mode = EmbedWholeBytes;
    return true;
}

// The container rescaled to about the payload's needs, when that is smaller
// than it is; the temporary file goes once it is loaded. The rescaled
// picture keeps the cover's colour profile for the saved output.
bool ShrinkContainer(StegEngine& engine, uint32_t payloadSize, const std::string& imageTitle)
{
    const uint32_t target = ScaledImage::ShrinkTarget(payloadSize);
    if (target >= engine.PixelBytes())
        return true;
    const std::optional<std::string> path = TempPath(BareTitle(imageTitle) + ".bmp");
    if (!path) {
        Warn(engine, kTempFileFailed);
        return false;
    }
    ScaledImage scaled;
    scaled.CreateForTarget(engine, target);
    ColourProfile profile = engine.LastLoad.Profile;
    const bool loaded = scaled.Save(*path) != 0 && engine.LoadContainer(*path);
    engine.LastLoad.Profile = std::move(profile);
    std::remove(path->c_str());
    scaled.Release();
    if (!loaded)
        Warn(engine, kTempFileFailed);
    return loaded;
}

} // namespace

bool RunEncode(StegEngine& engine, const EncodeRequest& request)
{
    if (request.Payload.size() > std::numeric_limits<uint32_t>::max()) {
        Warn(engine, kNoSuitableEncoder);
        return false;
    }
    const auto size = static_cast<uint32_t>(request.Payload.size());
    engine.Keys.Reset();
    HandOverKey(engine.Keys, request);
    HandOverQuestions(engine.Keys, request.Questions);
    if (request.Noise && !UseNoiseContainer(engine, size))
        return false;
    if (request.Shrink && !ShrinkContainer(engine, size, request.ImageTitle))
        return false;
    if (!engine.Encode(request.Payload.data(), size, request.Name))
        return false;
    // The container now holds the encoded pixels exactly, whatever the
    // cover's format, so a decode right after the encode can read them.
    engine.LastLoad.Lossless = true;
    return true;
}

} // namespace lumaquill
