#include "flows/StegFlows.h"

#include "core/MessageText.h"
#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "engine/StegEngine.h"
#include "flows/DecodeFlow.h"
#include "flows/Payload.h"
#include "flows/StealthFlow.h"
#include "flows/StealthJpegFlow.h"
#include "flows/StealthMessages.h"
#include "image/ScaledImage.h"
#include "io/AtomicFile.h"

#include <ostream>
#include <sodium.h>

namespace lumaquill {

static_assert(PictureFacts::kModes == size_t(kEmbedModeCount));

namespace {

void Say(const Frontend& host, const std::string& text, MessageIcon icon)
{
    if (host.Messages)
        host.Messages->ShowMessage(text, icon);
}

// Takes the decoded file from the engine, so that the flow itself writes
// it and can tell what became of it.
class DecodedFileCatch : public SavePrompt {
public:
    DecodedFileCatch(std::vector<uint8_t>& bytes, std::string& name)
        : Bytes(bytes)
        , Name(name)
    {
    }
    std::optional<std::string> AskSavePath(const std::string&) override { return std::nullopt; }
    bool TakeDecodedFile(const std::string& offeredName, std::span<const uint8_t> bytes) override
    {
        Bytes.assign(bytes.begin(), bytes.end());
        Name = offeredName;
        Took = true;
        return true;
    }
    bool Took = false;

private:
    std::vector<uint8_t>& Bytes;
    std::string& Name;
};

// The engine's front end, with the save prompt replaced, for one run.
class SaveCatchScope {
public:
    SaveCatchScope(StegEngine& engine, SavePrompt& catcher)
        : Engine(engine)
        , Previous(engine.GetFrontend())
    {
        Frontend during = Previous;
        during.Save = &catcher;
        Engine.SetFrontend(during);
    }
    ~SaveCatchScope() { Engine.SetFrontend(Previous); }
    SaveCatchScope(const SaveCatchScope&) = delete;
    SaveCatchScope& operator=(const SaveCatchScope&) = delete;

private:
    StegEngine& Engine;
    Frontend Previous;
};

DecodeResult ResultOf(DecodeResult::Kind kind)
{
    DecodeResult result;
    result.What = kind;
    return result;
}

EncodeResult EncodeResultOf(EncodeResult::Kind kind, std::optional<PictureFormat> format = std::nullopt)
{
    return EncodeResult { kind, format };
}

} // namespace

StegFlows::StegFlows()
    : Owned(std::make_unique<StegEngine>())
    , Engine(*Owned)
{
}

StegFlows::StegFlows(StegEngine& engine)
    : Engine(engine)
{
}

StegFlows::~StegFlows()
{
    ReleaseHeldFile();
    Engine.Keys.ClearQuestions();
}

void StegFlows::SetFrontend(const Frontend& frontend)
{
    Engine.SetFrontend(frontend);
}

const Frontend& StegFlows::GetFrontend() const
{
    return Engine.GetFrontend();
}

bool StegFlows::LoadCover(const std::string& path)
{
    CoverPath = path;
    JpegFactsCache.reset();
    JpegFactsRead = false;
    std::vector<uint8_t>().swap(EncodedJpeg);
    return Engine.LoadContainer(path);
}

bool StegFlows::HasPicture() const
{
    return Engine.IsValid();
}

bool StegFlows::IsUsableContainer() const
{
    return Engine.IsUsableContainer();
}

int32_t StegFlows::Width() const
{
    return Engine.Width();
}

int32_t StegFlows::Height() const
{
    return Engine.Height();
}

const DibImage& StegFlows::Picture() const
{
    return Engine;
}

bool StegFlows::CoverIsJpeg() const
{
    return Engine.LastLoad.Ok() && Engine.LastLoad.Format == PictureFormat::Jpeg;
}

LoadProblem StegFlows::CoverProblem(bool forDecode, std::string& detail) const
{
    if (forDecode && CoverIsJpeg())
        return LoadProblem::None;
    return Engine.ContainerProblem(forDecode, detail);
}

// An 8-bit image shows its rating too, although an encode then refuses it.
// Without pixels, or below 8 bits per pixel, the rating has no meaning, and
// one too small for the capacity reserve is negative.
uint32_t StegFlows::RatedCapacity() const
{
    constexpr uint16_t kFewestRatedBits = 8;
    if (!Engine.IsValid() || Engine.BitCount() < kFewestRatedBits)
        return 0;
    const int32_t capacity = Engine.Capacity(EmbedBits012);
    return capacity > 0 ? static_cast<uint32_t>(capacity) : 0;
}

uint32_t StegFlows::LargestPayload() const
{
    return lumaquill::LargestPayload(Engine);
}

uint64_t StegFlows::DecodableBytes() const
{
    return lumaquill::DecodableBytes(Engine.Capacity(container::kDecodeCapacityMode));
}

PayloadFit StegFlows::Fit(uint32_t payloadSize, uint64_t originalSize) const
{
    return CheckPayloadFit(Engine, payloadSize, originalSize);
}

bool StegFlows::ShrunkSize(uint32_t payloadSize, uint64_t originalSize, int32_t& width, int32_t& height) const
{
    ScaledImage scaled;
    if (!MakeShrunkContainer(Engine, payloadSize, originalSize, scaled))
        return false;
    width = scaled.Width();
    height = scaled.Height();
    return true;
}

bool StegFlows::StealthMakesJpeg(const EncodeRequest& request) const
{
    return CoverIsJpeg() && (!request.OutFormat || *request.OutFormat == PictureFormat::Jpeg);
}

const StealthJpegFacts* StegFlows::JpegFacts() const
{
    if (!JpegFactsRead) {
        JpegFactsRead = true;
        if (const std::optional<std::vector<uint8_t>> file = ReadWholeFile(CoverPath)) {
            if (std::optional<StealthJpegFacts> facts = StealthJpegFactsOf(*file))
                JpegFactsCache = std::make_unique<StealthJpegFacts>(std::move(*facts));
        }
    }
    return JpegFactsCache.get();
}

stealth::StealthSizes StegFlows::StealthSizes(const EncodeRequest& request) const
{
    if (!StealthMakesJpeg(request))
        return StealthSizesOf(Engine);
    const StealthJpegFacts* facts = JpegFacts();
    return facts ? facts->Sizes : stealth::StealthSizes {};
}

std::string StegFlows::StealthCoverRefusal(const EncodeRequest& request) const
{
    if (!StealthMakesJpeg(request))
        return lumaquill::StealthCoverRefusal(Engine, request);
    return StealthJpegCoverRefusal(Engine, StealthSizes(request), request);
}

void StegFlows::StartJob()
{
    ReleaseHeldFile();
    std::vector<uint8_t>().swap(EncodedJpeg);
}

void StegFlows::EndJob()
{
    Engine.Keys.ClearQuestions();
}

// A run can be stopped only through its progress display: with one, the
// cover is kept aside, since a stopped run leaves the container half
// written, and put back, so that the next attempt starts from it.
EncodeResult StegFlows::Encode(EncodeRequest request, const KeyEntry& key)
{
    StartJob();
    JobQuestions = key.Questions;
    request.Key = key.Digests;
    request.Speed = key.Speed;
    request.Questions = &JobQuestions;
    request.Seal = key.Seal;
    request.Password = key.Password;
    if (request.OutFormat == PictureFormat::Jpeg && !CoverIsJpeg()) {
        Say(Engine.GetFrontend(), StealthMessages::JpegNeedsJpegCover(), MessageIcon::Stop);
        return EncodeResultOf(EncodeResult::Kind::Failed);
    }
    if (request.Stealth && StealthMakesJpeg(request))
        return EncodeStealthJpeg(request);
    uint64_t sealedBytes = 0;
    if (request.Seal && !request.Stealth) {
        std::optional<EncodeRequest> sealed = SealForEncode(Engine, request);
        if (!sealed) {
            EndJob();
            return EncodeResultOf(EncodeResult::Kind::Failed);
        }
        request = std::move(*sealed);
        sealedBytes = request.Payload.size();
    }
    std::optional<DibImage> cover;
    std::optional<PictureLoad> coverLoad;
    if (Engine.GetFrontend().Progress) {
        cover.emplace(Engine);
        coverLoad.emplace(Engine.LastLoad);
    }
    const bool encoded = RunEncode(Engine, request);
    EndJob();
    if (encoded) {
        EncodeResult result = EncodeResultOf(EncodeResult::Kind::Encoded);
        result.SealedBytes = sealedBytes;
        return result;
    }
    if (!Engine.Cancelled)
        return EncodeResultOf(EncodeResult::Kind::Failed);
    if (cover)
        Engine.RestoreContainer(*cover, *coverLoad);
    return EncodeResultOf(EncodeResult::Kind::Cancelled);
}

// The cover file's bytes; nothing when it cannot be read, which is said.
std::optional<std::vector<uint8_t>> StegFlows::ReadCoverFile() const
{
    std::string reason;
    std::optional<std::vector<uint8_t>> file = ReadWholeFile(CoverPath, reason);
    if (!file)
        Say(Engine.GetFrontend(), std::string(message::kCannotRead) + " \"" + CoverPath + "\": " + reason + ".",
            MessageIcon::Stop);
    return file;
}

// A stealth JPEG is the cover file itself with changed coefficients, so its
// bytes are read again for it; the engine keeps the cover's pixels.
EncodeResult StegFlows::EncodeStealthJpeg(const EncodeRequest& request)
{
    const std::optional<std::vector<uint8_t>> cover = ReadCoverFile();
    EndJob();
    if (!cover)
        return EncodeResultOf(EncodeResult::Kind::Failed);
    Engine.Cancelled = false;
    if (RunStealthJpegEncode(Engine, *cover, request, EncodedJpeg))
        return EncodeResultOf(EncodeResult::Kind::Encoded, PictureFormat::Jpeg);
    std::vector<uint8_t>().swap(EncodedJpeg);
    return EncodeResultOf(Engine.Cancelled ? EncodeResult::Kind::Cancelled : EncodeResult::Kind::Failed);
}

std::string StegFlows::SaveEncoded(const std::string& path, PictureFormat format, bool replace)
{
    const ExistingFile existing = replace ? ExistingFile::Replace : ExistingFile::Keep;
    const FileWriteResult written = EncodedJpeg.empty()
        ? Engine.SaveContainer(path, format, existing)
        : WriteFileAtomically(path, EncodedJpeg.data(), EncodedJpeg.size(), existing);
    return written ? std::string() : written.Reason;
}

std::optional<std::vector<uint8_t>> StegFlows::EncodedFile(PictureFormat format) const
{
    if (!EncodedJpeg.empty())
        return EncodedJpeg;
    return Engine.ContainerFile(format);
}

bool StegFlows::ReadStoredQuestions(QuestionSet& questions)
{
    StartJob();
    JobQuestions = QuestionSet();
    if (CoverIsJpeg()) {
        questions = JobQuestions;
        return false;
    }
    const bool stored = Engine.ReadStoredQuestions(JobQuestions);
    questions = JobQuestions;
    return stored;
}

// REQUIRES: ReadStoredQuestions has read this cover's header: the key
// material holds what it found, and the key's questions are its own.
DecodeResult StegFlows::Decode(const KeyEntry& key)
{
    if (CoverIsJpeg())
        return DecodeStealthJpeg(key);
    JobQuestions = key.Questions;
    DecodedFileCatch catcher(HeldFile, HeldName);
    std::string holder;
    DecodeOutcome outcome = NothingDecoded;
    {
        SaveCatchScope scope(Engine, catcher);
        outcome = RunDecode(Engine, key.Digests, holder, key.Password.empty() ? nullptr : &key.Password);
    }
    EndJob();
    HoldingFile = catcher.Took;
    return ResultOfRun(outcome, holder);
}

// A file the run decoded is held, and written here.
DecodeResult StegFlows::ResultOfRun(DecodeOutcome outcome, std::string& holder)
{
    switch (outcome) {
    case TextDecoded: {
        DecodeResult result = ResultOf(DecodeResult::Kind::Text);
        result.Text = std::move(holder);
        return result;
    }
    case FileWritten:
        return HoldingFile ? DeliverHeldFile() : ResultOf(DecodeResult::Kind::SaveDeclined);
    case DecodeCancelled:
        return ResultOf(DecodeResult::Kind::Cancelled);
    case NothingDecoded:
        break;
    }
    return ResultOf(DecodeResult::Kind::Nothing);
}

// A JPEG holds only a stealth JPEG, read from its coefficients, never from
// the decoded pixels; it stores no questions, and only a typed password
// opens it.
DecodeResult StegFlows::DecodeStealthJpeg(const KeyEntry& key)
{
    const std::optional<std::vector<uint8_t>> file = ReadCoverFile();
    if (!file)
        return ResultOf(DecodeResult::Kind::Unreadable);
    DecodedFileCatch catcher(HeldFile, HeldName);
    std::string holder;
    DecodeOutcome outcome = NothingDecoded;
    {
        SaveCatchScope scope(Engine, catcher);
        outcome = RunStealthJpegDecode(Engine, *file, key.Password, holder);
    }
    HoldingFile = catcher.Took;
    DecodeResult result = ResultOfRun(outcome, holder);
    result.FromJpeg = true;
    return result;
}

DecodeResult StegFlows::SaveDecodedAgain()
{
    return HoldingFile ? DeliverHeldFile() : ResultOf(DecodeResult::Kind::SaveDeclined);
}

// The decoded file goes to the front end's own stream when it has one,
// else where its save prompt says. A declined prompt (or none) writes
// nothing: the image still holds the payload. A target that cannot be
// written is reported with the system's reason, and the file is held for
// another prompt.
DecodeResult StegFlows::DeliverHeldFile()
{
    const Frontend& host = Engine.GetFrontend();
    if (std::ostream* stream = host.Save ? host.Save->SaveStream() : nullptr) {
        stream->write(reinterpret_cast<const char*>(HeldFile.data()), static_cast<std::streamsize>(HeldFile.size()));
        stream->flush();
        if (!*stream) {
            Say(host, message::kCouldNotWriteStream, MessageIcon::Stop);
            return ResultOf(DecodeResult::Kind::WriteFailed);
        }
        ReleaseHeldFile();
        return ResultOf(DecodeResult::Kind::FileWritten);
    }
    const std::optional<std::string> target = host.Save ? host.Save->AskSavePath(HeldName) : std::nullopt;
    if (!target) {
        ReleaseHeldFile();
        return ResultOf(DecodeResult::Kind::SaveDeclined);
    }
    const FileWriteResult written = WriteFileAtomically(*target, HeldFile.data(), HeldFile.size());
    DecodeResult result = ResultOf(DecodeResult::Kind::FileWritten);
    result.Path = *target;
    if (written) {
        ReleaseHeldFile();
        return result;
    }
    Say(host, message::kCouldNotWrite + *target + ": " + written.Reason + ".", MessageIcon::Stop);
    result.What = DecodeResult::Kind::WriteFailed;
    result.Reason = written.Reason;
    return result;
}

// Decoded bytes may be secret: they are wiped once delivered.
void StegFlows::ReleaseHeldFile()
{
    if (!HeldFile.empty())
        sodium_memzero(HeldFile.data(), HeldFile.size());
    std::vector<uint8_t>().swap(HeldFile);
    HeldName.clear();
    HoldingFile = false;
}

PictureFacts StegFlows::Facts(const std::string& path)
{
    PictureFacts facts;
    facts.Path = path;
    facts.Format = PictureFormatName(Engine.LastLoad.Format);
    facts.Lossless = Engine.LastLoad.Lossless;
    facts.Width = Engine.Width();
    facts.Height = Engine.Height();
    facts.BitsPerPixel = Engine.BitCount();
    facts.Usable = Engine.IsUsableContainer();
    if (!facts.Usable)
        return facts;
    for (size_t mode = 0; mode < facts.Capacity.size(); ++mode)
        facts.Capacity[mode] = Engine.Capacity(static_cast<int32_t>(mode));
    facts.LargestPayload = LargestPayload();
    const stealth::StealthSizes sizes = StealthSizesOf(Engine);
    facts.StealthSafe = sizes.Safe;
    facts.StealthLargest = sizes.Largest;
    // A JPEG's own figures come from its coefficients, which the loaded
    // pixels no longer show.
    if (Engine.LastLoad.Format == PictureFormat::Jpeg) {
        if (const StealthJpegFacts* jpeg = JpegFacts()) {
            facts.JpegQuality = jpeg->Quality;
            facts.JpegSubsampling = jpeg->Subsampling;
            facts.StealthSafe = jpeg->Sizes.Safe;
            facts.StealthLargest = jpeg->Sizes.Largest;
        }
    }
    QuestionSet questions;
    if (facts.Lossless && ReadStoredQuestions(questions)) {
        for (size_t k = 0; k < static_cast<size_t>(questions.LeadingUsed()); ++k)
            facts.Questions.emplace_back(questions.Questions[k], questions.Hints[k]);
    }
    EndJob();
    return facts;
}

} // namespace lumaquill
