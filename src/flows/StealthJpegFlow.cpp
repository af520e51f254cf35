#include "flows/StealthJpegFlow.h"

#include "core/MessageText.h"
#include "engine/ContainerFormat.h"
#include "engine/RunProgress.h"
#include "engine/StegEngine.h"
#include "engine/StoredName.h"
#include "flows/EncodeFlow.h"
#include "flows/StealthFlow.h"
#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"
#include "image/JpegQuality.h"
#include "keys/QuestionSet.h"
#include "seal/SecretBytes.h"
#include "stealth/JpegStealthCodec.h"

#include <sodium.h>

namespace lumaquill {

namespace {

void Warn(const StegEngine& engine, const std::string& text)
{
    if (MessageSink* messages = engine.GetFrontend().Messages)
        messages->ShowMessage(text, MessageIcon::Exclamation);
}

// A stealth JPEG stores a file's name under the rules of stealth images.
std::string StoredName(const EncodeRequest& request)
{
    return request.Name.empty() ? std::string() : StoredNameField(request.Name, container::kMaxNameBytes);
}

bool PasswordOnly(const EncodeRequest& request)
{
    const bool questions = request.Questions && request.Questions->UsedFlags[0];
    return !questions && !request.Password.empty();
}

// The decoded content is held to the same cap as any decode of the
// picture: 20 times its Capacity(5).
uint64_t OutputCap(const StegEngine& engine)
{
    return DecodableBytes(engine.Capacity(container::kDecodeCapacityMode));
}

std::string Refusal(const StegEngine& engine, const EncodeRequest& request, const stealth::StealthSizes& sizes)
{
    if (!PasswordOnly(request))
        return message::kStealthPasswordsOnly;
    return StealthJpegCoverRefusal(engine, sizes, request);
}

} // namespace

std::string StealthJpegCoverRefusal(
    const StegEngine& engine, const stealth::StealthSizes& sizes, const EncodeRequest& request)
{
    if (sizes.Largest == 0)
        return message::kStealthJpegUnsuitable;
    const uint64_t bytes = StealthPayloadBytes(request);
    if (bytes > sizes.Largest)
        return StealthTooLarge(bytes, sizes);
    if (OutputCap(engine) < request.OriginalSize)
        return TooLargeToDecode(request.OriginalSize, OutputCap(engine));
    return {};
}

namespace {

bool Hide(StegEngine& engine, std::span<const uint8_t> cover, JpegCoefficients& jpeg, const EncodeRequest& request,
    std::vector<uint8_t>& out)
{
    stealth::StealthStatus status = stealth::StealthStatus::NotOpened;
    {
        BusyScope busy(engine.GetFrontend().Busy);
        RunProgress progress(engine);
        status = stealth::JpegStealthCodec::Hide(
            jpeg, request.Password, request.Payload, StoredName(request), engine.Progress.get());
    }
    if (status == stealth::StealthStatus::Done && JpegCoefficientFile::Write(cover, jpeg, out))
        return true;
    Warn(engine,
        status == stealth::StealthStatus::Unsuitable ? message::kStealthJpegUnsuitable : message::kStealthJpegFailed);
    return false;
}

} // namespace

std::optional<StealthJpegFacts> StealthJpegFactsOf(std::span<const uint8_t> file)
{
    JpegCoefficients jpeg;
    std::string detail;
    if (JpegCoefficientFile::Read(file, jpeg, detail) != LoadProblem::None)
        return std::nullopt;
    return StealthJpegFacts { JpegQuality::Estimate(jpeg.Components[0].Quantisation), jpeg.Subsampling(),
        stealth::JpegStealthCodec::SizesFor(jpeg) };
}

bool RunStealthJpegEncode(
    StegEngine& engine, std::span<const uint8_t> cover, const EncodeRequest& request, std::vector<uint8_t>& out)
{
    JpegCoefficients jpeg;
    std::string detail;
    if (const LoadProblem problem = JpegCoefficientFile::Read(cover, jpeg, detail); problem != LoadProblem::None) {
        Warn(engine, std::string(message::kStealthJpegFailed) + " " + LoadProblemSentence(problem, detail));
        return false;
    }
    const stealth::StealthSizes sizes = stealth::JpegStealthCodec::SizesFor(jpeg);
    if (const std::string refusal = Refusal(engine, request, sizes); !refusal.empty()) {
        Warn(engine, refusal);
        return false;
    }
    const uint64_t bytes = StealthPayloadBytes(request);
    if (bytes > sizes.Safe)
        Warn(engine, StealthAboveSafe(bytes, sizes));
    return Hide(engine, cover, jpeg, request, out);
}

DecodeOutcome RunStealthJpegDecode(
    StegEngine& engine, std::span<const uint8_t> file, const SecretBytes& password, std::string& holder)
{
    holder.clear();
    BusyScope busy(engine.GetFrontend().Busy);
    RunProgress progress(engine);
    std::vector<uint8_t> stream;
    std::string storedName;
    if (stealth::JpegStealthCodec::OpenFile(file, password, stream, storedName, engine.Progress.get())
        != stealth::StealthStatus::Done)
        return NothingDecoded;
    const DecodeOutcome outcome
        = engine.DeliverOpenedPayload(stream.data(), stream.size(), storedName, OutputCap(engine), holder);
    sodium_memzero(stream.data(), stream.size());
    return outcome;
}

} // namespace lumaquill
