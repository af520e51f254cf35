#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "engine/RunMessages.h"
#include "engine/RunProgress.h"
#include "engine/StegEngine.h"
#include "engine/StoredName.h"

namespace lumaquill {

namespace {

using container::kMaxQuestions;

// The number of leading used slots; counting stops at the first unused one.
int32_t StoredQuestionCount(const KeyMaterial& keys)
{
    if (!keys.QuizlockPresent || !keys.UsedFlags || !keys.Questions || !keys.Hints || !keys.AnswerKeys)
        return 0;
    int32_t count = 0;
    while (count < kMaxQuestions && (*keys.UsedFlags)[count])
        ++count;
    return count;
}

// The bytes WriteName stores for a file; text has no name field.
uint32_t NameFieldBytes(const std::string& name)
{
    return name.empty() ? 0 : static_cast<uint32_t>(StoredNameField(name, container::kMaxNameBytes).size());
}

} // namespace

bool StegEngine::WriteText(const std::string& text)
{
    return WriteBuffer(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
}

// Every field is attempted even after one has failed: once the walk is
// exhausted the remaining writes change nothing. True when all were written.
bool StegEngine::WriteQuestions(int32_t count)
{
    bool written = WriteBuffer(container::kQuestionSignature.data(), container::kQuestionSignature.size());
    written = WriteByte(static_cast<uint8_t>(count)) && written;
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        written = WriteText((*Keys.Questions)[i]) && written;
        written = WriteEndPixel() && written;
        written = WriteText((*Keys.Hints)[i]) && written;
        written = WriteEndPixel() && written;
        written = WriteBuffer((*Keys.AnswerKeys)[i].data(), container::kAnswerKeyBytes) && written;
        written = WriteEndPixel() && written;
    }
    return written;
}

void StegEngine::PassOverEmptyHeader()
{
    for (int32_t i = 0; i < container::kEmptyHeaderPixels; ++i)
        PassOverPixel();
}

// The mode header with the unstrengthened key, then the strengthening and
// the rekeying for the body. False when the walk ran out in the header.
bool StegEngine::WriteModeHeader(int32_t mode)
{
    const uint8_t header[container::kModeHeaderBytes] = { 0, container::ModeByte(mode, Keys.Speed) };
    Keys.PublishSeeds();
    ReseedGenerators();
    Keys.Mode = container::kHeaderMode;
    if (!WriteBuffer(header, container::kModeHeaderBytes))
        return false;
    Keys.Mode = mode;
    if (!Keys.Mangle(Keys.Speed, Progress.get())) {
        Cancelled = true;
        return false;
    }
    ReseedGenerators();
    return true;
}

// What follows the payload: its End and the name field with its End (or a
// second End for text); in EmbedMode 4 the Marker, the name field (at most
// 30 bytes, so the reader meets the closing Marker), the Marker. False when the walk ran out before all of it was
// written.
bool StegEngine::CloseBody(const std::string& name)
{
    if (Keys.Mode == EmbedWholeBytes) {
        const auto& marker = Keys.Marker;
        bool written = WriteBuffer(marker.data(), KeyMaterial::kMarkerBytes);
        if (!name.empty())
            written = WriteText(StoredNameField(name, container::kMaxNoiseNameBytes)) && written;
        return WriteBuffer(marker.data(), KeyMaterial::kMarkerBytes) && written;
    }
    const bool ended = WriteEndPixel();
    return (name.empty() ? WriteEndPixel() : WriteName(name)) && ended;
}

// The reader takes at most Capacity(5) bytes of body before its closing
// field, and none at all when that is zero or negative; EmbedMode 4 must
// also fit the Marker in them. A payload beyond that would be written but
// could never be read back.
bool StegEngine::ReadableBack(int32_t mode, uint32_t size) const
{
    const int64_t readable = Capacity(container::kDecodeCapacityMode);
    const int64_t needed = int64_t(size) + (mode == EmbedWholeBytes ? int64_t(KeyMaterial::kMarkerBytes) : 0);
    return readable > 0 && needed <= readable;
}

int32_t StegEngine::PayloadMode(uint32_t size, const std::string& name) const
{
    const int32_t mode = Keys.ModeFixed ? Keys.Mode : ChooseMode(size, NameFieldBytes(name));
    const bool defined = mode >= EmbedBit0OneChannel && mode <= EmbedWholeBytes;
    return defined && ReadableBack(mode, size) ? mode : EmbedNone;
}

bool StegEngine::WriteHeader()
{
    const int32_t count = StoredQuestionCount(Keys);
    const uint8_t level = Keys.LevelByte;
    const uint8_t check = Keys.CheckByte;
    const int32_t mode = Keys.Mode;
    StartHeaderWalk();
    bool written = true;
    if (count > 0)
        written = WriteQuestions(count);
    else
        PassOverEmptyHeader();
    Keys.LevelByte = level;
    Keys.CheckByte = check;
    Keys.Mode = mode;
    HeaderMode = false;
    return written;
}

bool StegEngine::WriteName(const std::string& name)
{
    const bool written = WriteText(StoredNameField(name, container::kMaxNameBytes));
    return WriteEndPixel() && written;
}

bool StegEngine::Encode(const uint8_t* data, uint32_t size, const std::string& name)
{
    BusyScope busy(Host.Busy);
    Cancelled = false;
    if (!IsUsableContainer()) {
        ShowRunMessage(Host, message::kInvalidContainer);
        return false;
    }
    WriteByteIndex = 0;
    ReadByteIndex = 0;
    WriteHeader();
    const int32_t mode = PayloadMode(size, name);
    if (mode == EmbedNone) {
        ShowRunMessage(Host, message::kNoSuitableEncoder);
        return false;
    }
    RunProgress progress(*this);
    // An image whose body is not complete would not decode: it is never
    // reported as encoded.
    if (!WriteModeHeader(mode) || !WriteBuffer(data, size) || !CloseBody(name)) {
        if (!Cancelled)
            ShowRunMessage(Host, message::kUnableToEncode);
        return false;
    }
    return true;
}

} // namespace lumaquill
