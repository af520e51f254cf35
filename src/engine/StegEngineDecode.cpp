#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "engine/RunMessages.h"
#include "engine/RunProgress.h"
#include "engine/StegEngine.h"
#include "keys/SpeedSetting.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

namespace lumaquill {

namespace {

// The key text is lent to the key material for one run only.
class KeyTextLoan {
public:
    KeyTextLoan(KeyMaterial& keys, const SecretBytes* text, bool sealedKey)
        : Keys(keys)
    {
        Keys.KeyText = text;
        Keys.SealedKey = sealedKey;
    }
    ~KeyTextLoan()
    {
        Keys.KeyText = nullptr;
        Keys.SealedKey = false;
    }
    KeyTextLoan(const KeyTextLoan&) = delete;
    KeyTextLoan& operator=(const KeyTextLoan&) = delete;

private:
    KeyMaterial& Keys;
};

} // namespace

// The question header's field buffer: Capacity(5) bytes plus a terminating
// zero, never fewer than an answer key. Only the bytes a field reads are
// written, so the memory behind the rest is never touched.
class StegEngine::FieldBuffer {
public:
    explicit FieldBuffer(uint32_t capacity)
        : Capacity(capacity)
        , Bytes(new (std::nothrow) uint8_t[std::max<size_t>(size_t { capacity } + 1, kMinBytes)])
    {
        if (Bytes)
            std::memset(Bytes.get(), 0, kMinBytes);
    }
    bool Allocated() const { return Bytes != nullptr; }

    // Reads one field up to its end pixel (or Capacity bytes); the End after
    // it is left for the caller to step over.
    uint32_t ReadField(StegEngine& engine)
    {
        uint32_t count = Capacity;
        engine.ReadBuffer(Bytes.get(), count, false);
        return count;
    }
    // The field as text: its bytes up to the first zero.
    std::string ReadText(StegEngine& engine)
    {
        const uint32_t count = ReadField(engine);
        Bytes[count] = 0;
        return std::string(reinterpret_cast<const char*>(Bytes.get()));
    }
    // The first 20 bytes; a shorter field leaves earlier fields' bytes there.
    Sha1Bytes ReadAnswerKey(StegEngine& engine)
    {
        ReadField(engine);
        Sha1Bytes key;
        std::copy_n(Bytes.get(), key.size(), key.begin());
        return key;
    }

private:
    static constexpr size_t kMinBytes = container::kAnswerKeyBytes;
    uint32_t Capacity;
    std::unique_ptr<uint8_t[]> Bytes;
};

namespace {

// The two bytes a zlib stream opens with: compression method 8, a window
// of at most 32 KB, no preset dictionary, and a check that makes the pair
// a multiple of 31. A payload opening otherwise is refused by uncompress.
constexpr uint32_t kZlibHeaderBytes = 2;
bool OpensZlibStream(const uint8_t* header)
{
    constexpr uint8_t kDeflate = 8;
    constexpr uint8_t kMaxWindowBits = 7;
    constexpr uint8_t kPresetDictionary = 0x20;
    const bool deflate = (header[0] & 0x0F) == kDeflate && (header[0] >> 4) <= kMaxWindowBits;
    return deflate && (header[1] & kPresetDictionary) == 0 && (header[0] * 256 + header[1]) % 31 == 0;
}

// The body: its first two bytes, and the rest only when they open a zlib
// stream. A wrong key almost never reads a valid opening, so it stops here
// instead of filling the buffer along the whole walk (EmbedMode 4 has no
// end pixel to stop at). The outcome is the same: uncompress would refuse
// the payload. False when the body cannot be a stream.
bool ReadBody(StegEngine& engine, uint8_t* input, uint32_t capacity, uint32_t& count)
{
    count = std::min(kZlibHeaderBytes, capacity);
    engine.ReadBuffer(input, count, false);
    if (count < kZlibHeaderBytes || !OpensZlibStream(input))
        return false;
    uint32_t rest = capacity - kZlibHeaderBytes;
    engine.ReadBuffer(input + kZlibHeaderBytes, rest, false);
    count += rest;
    return true;
}

} // namespace

// Steps over the end pixel after a field and reads the CheckByte after it.
uint8_t StegEngine::StepOverEnd()
{
    PassOverPixel();
    uint8_t check = 0;
    ReadByte(check, false);
    return check;
}

// Reads one stored question into slot i (when the slots are lent).
void StegEngine::ReadQuestion(FieldBuffer& field, size_t i)
{
    std::string question = field.ReadText(*this);
    StepOverEnd();
    std::string hint = field.ReadText(*this);
    StepOverEnd();
    const Sha1Bytes answerKey = field.ReadAnswerKey(*this);
    StepOverEnd();
    if (Keys.Questions)
        (*Keys.Questions)[i] = std::move(question);
    if (Keys.Hints)
        (*Keys.Hints)[i] = std::move(hint);
    if (Keys.AnswerKeys)
        (*Keys.AnswerKeys)[i] = answerKey;
    if (Keys.UsedFlags)
        (*Keys.UsedFlags)[i] = true;
}

bool StegEngine::EndHeader(bool questionsFound)
{
    Keys.QuizlockPresent = questionsFound;
    HeaderMode = false;
    return questionsFound;
}

// The ModeByte, read in EmbedMode 1 with the unstrengthened key; a byte the
// walk could not deliver stays 0. Empty when the mode header is none that a
// writer makes: its first byte 0, then a ModeByte with EmbedMode and
// SpeedSetting 0 to 4 and bits 6-7 zero. A wrong key fails that test in all
// but about 1 of 2600 cases, so it ends here instead of paying for up to
// ten million strengthening passes at a speed read from noise.
std::optional<uint8_t> StegEngine::ReadModeByte()
{
    uint8_t header[container::kModeHeaderBytes] = { 0, 0 };
    uint32_t count = container::kModeHeaderBytes;
    Keys.Mode = container::kHeaderMode;
    ReadBuffer(header, count, false);
    const uint8_t modeByte = header[1];
    const int32_t mode = modeByte & container::kModeMask;
    const int32_t speed = (modeByte >> container::kSpeedShift) & container::kSpeedMask;
    const bool written = header[0] == 0 && modeByte == container::ModeByte(mode, speed) && mode <= EmbedWholeBytes
        && speed <= SpeedVerySlow;
    return written ? std::optional<uint8_t>(modeByte) : std::nullopt;
}

// The end pixel after the payload and the CheckByte behind it, which a wrong
// key fails to match in 255 of 256 cases. EmbedMode 4 carries none.
bool StegEngine::CheckByteMatches()
{
    if (Keys.Mode == EmbedWholeBytes)
        return true;
    return StepOverEnd() == Keys.CheckByte;
}

bool StegEngine::ReadHeader()
{
    StartHeaderWalk();
    std::array<uint8_t, container::kQuestionSignature.size()> signature = {};
    uint32_t count = signature.size();
    ReadBuffer(signature.data(), count, true);
    // A container too small to hold any field is one without questions; the
    // 60 pixels of the signature stay passed over, as a writer leaves them.
    const int32_t capacity = Capacity(container::kDecodeCapacityMode);
    if (signature != container::kQuestionSignature || capacity <= 0)
        return EndHeader(false);
    uint8_t stored = 0;
    ReadByte(stored, false);
    if (stored == 0 || stored > container::kMaxQuestions)
        return EndHeader(false);
    FieldBuffer field(static_cast<uint32_t>(capacity));
    if (!field.Allocated())
        return EndHeader(false);
    for (size_t i = 0; i < stored; ++i)
        ReadQuestion(field, i);
    return EndHeader(true);
}

std::string StegEngine::ReadName()
{
    std::array<uint8_t, container::kMaxNameBytes> buffer = {};
    uint32_t count = buffer.size();
    ReadBuffer(buffer.data(), count, false);
    const auto end = std::find(buffer.begin(), buffer.begin() + count, uint8_t { 0 });
    return std::string(buffer.begin(), end);
}

bool StegEngine::StopRequested()
{
    if (Progress && Progress->CancelRequested())
        Cancelled = true;
    return Cancelled;
}

bool StegEngine::ReadStoredQuestions(QuestionSet& questions)
{
    Keys.BorrowQuestions(questions);
    return ReadHeader();
}

// The decode dialog derives the marker and then repeats its seeding and
// draws once more; both leave the same values and generator state.
DecodeOutcome StegEngine::DecodeWith(const DecodeKey& key, std::string& holder)
{
    Keys.PasswordDigest = key.Sha1;
    Keys.PasswordMd5 = key.Md5;
    Keys.DeriveMarker();
    Keys.DeriveMarker();
    holder.clear();
    const KeyTextLoan loan(Keys, key.Text, key.SealedKey);
    return Decode(holder);
}

DecodeOutcome StegEngine::Decode(std::string& result)
{
    BusyScope busy(Host.Busy);
    Cancelled = false;
    WriteByteIndex = 0;
    ReadByteIndex = 0;
    Keys.PublishSeeds();
    ReseedGenerators();
    // Capacity(5) bounds the body; a container without room for one decodes
    // nothing.
    const int32_t capacity = Capacity(container::kDecodeCapacityMode);
    if (capacity <= 0)
        return NothingDecoded;
    // Uninitialised on purpose: only the pages the body's bytes land in are
    // ever touched, so a large container does not commit its whole capacity.
    std::unique_ptr<uint8_t[]> input(new (std::nothrow) uint8_t[static_cast<size_t>(capacity)]);
    if (!input) {
        ShowRunMessage(Host, message::kNoInputBuffer);
        return NothingDecoded;
    }
    RunProgress progress(*this);
    const std::optional<uint8_t> written = ReadModeByte();
    if (StopRequested())
        return DecodeCancelled;
    if (!written)
        return NothingDecoded;
    const uint8_t modeByte = *written;
    Keys.Mode = modeByte & container::kModeMask;
    const int32_t speed = (modeByte >> container::kSpeedShift) & container::kSpeedMask;
#ifdef LUMAQUILL_FUZZING
    // Fuzzing builds only: half of all random mode headers ask for speeds 1
    // to 4, 100,000 to 10,000,000 strengthening passes, which would throttle
    // the fuzzer to a few inputs a second. Those inputs end here; speed 0
    // and the pass-free speeds 5 to 7 decode in full.
    if (speed >= SpeedFast && speed <= SpeedVerySlow)
        return NothingDecoded;
#endif
    if (!Keys.Mangle(speed, Progress.get())) {
        Cancelled = true;
        return DecodeCancelled;
    }
    ReseedGenerators();
    uint32_t count = 0;
    const bool read = ReadBody(*this, input.get(), static_cast<uint32_t>(capacity), count);
    // The last chance to stop: what follows may ask where to save.
    if (StopRequested())
        return DecodeCancelled;
    if (!read || !CheckByteMatches())
        return NothingDecoded;
    const std::string name = ReadName();
    const uint64_t outputCap = container::kOutputFactor * static_cast<uint64_t>(capacity);
    return DeliverPayload(input.get(), count, name, outputCap, result);
}

} // namespace lumaquill
