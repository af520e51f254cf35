#include "flows/StealthJpegFlow.h"

#include "core/MessageText.h"
#include "engine/RunProgress.h"
#include "engine/StegEngine.h"
#include "flows/EncodeFlow.h"
#include "flows/StealthFlow.h"
#include "image/JpegCoefficientFile.h"
#include "image/JpegCoefficients.h"
#include "image/JpegQuality.h"
#include "seal/SecretBytes.h"
#include "stealth/JpegStealthCodec.h"

namespace lumaquill {

namespace {

std::string Refusal(const StegEngine& engine, const EncodeRequest& request, const stealth::StealthSizes& sizes)
{
    if (std::string refusal = StealthRequestRefusal(request); !refusal.empty())
        return refusal;
    return StealthJpegCoverRefusal(engine, sizes, request);
}

} // namespace

std::string StealthJpegCoverRefusal(
    const StegEngine& engine, const stealth::StealthSizes& sizes, const EncodeRequest& request)
{
    if (sizes.Largest == 0)
        return message::kStealthJpegUnsuitable;
    return StealthSizeRefusal(engine, sizes, request);
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
            jpeg, request.Password, request.Payload, StealthStoredName(request), engine.Progress.get());
    }
    if (status == stealth::StealthStatus::Done && JpegCoefficientFile::Write(cover, jpeg, out))
        return true;
    ShowWarning(engine,
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
        ShowWarning(engine, std::string(message::kStealthJpegFailed) + " " + LoadProblemSentence(problem, detail));
        return false;
    }
    const stealth::StealthSizes sizes = stealth::JpegStealthCodec::SizesFor(jpeg);
    if (const std::string refusal = Refusal(engine, request, sizes); !refusal.empty()) {
        ShowWarning(engine, refusal);
        return false;
    }
    const uint64_t bytes = StealthPayloadBytes(request);
    if (bytes > sizes.Safe)
        ShowWarning(engine, StealthAboveSafe(bytes, sizes));
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
    return DeliverStealthPayload(engine, stream, storedName, holder);
}

} // namespace lumaquill
