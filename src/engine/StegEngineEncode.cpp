#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "engine/RunMessages.h"
#include "engine/RunProgress.h"
#include "engine/RunWalk.h"
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

bool WriteBytes(StegEngine& engine, const std::string& text)
{
    return engine.WriteBuffer(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
}

// Every field is attempted even after one has failed: once the walk is
// exhausted the remaining writes change nothing. True when all were written.
bool WriteQuestions(StegEngine& engine, int32_t count)
{
    const KeyMaterial& keys = engine.Keys;
    bool written = engine.WriteBuffer(container::kQuestionSignature.data(), container::kQuestionSignature.size());
    written = engine.WriteByte(static_cast<uint8_t>(count)) && written;
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        written = WriteBytes(engine, (*keys.Questions)[i]) && written;
        written = engine.WriteEndPixel() && written;
        written = WriteBytes(engine, (*keys.Hints)[i]) && written;
        written = engine.WriteEndPixel() && written;
        written = engine.WriteBuffer((*keys.AnswerKeys)[i].data(), container::kAnswerKeyBytes) && written;
        written = engine.WriteEndPixel() && written;
    }
    return written;
}

void PassOverEmptyHeader(StegEngine& engine)
{
    for (int32_t i = 0; i < container::kEmptyHeaderPixels; ++i)
        PassOverPixel(engine);
}

// The mode header with the unstrengthened key, then the strengthening and
// the rekeying for the body. False when the walk ran out in the header.
bool WriteModeHeader(StegEngine& engine, int32_t mode)
{
    KeyMaterial& keys = engine.Keys;
    const uint8_t header[container::kModeHeaderBytes] = { 0, container::ModeByte(mode, keys.Speed) };
    keys.PublishSeeds();
    ReseedGenerators(engine);
    keys.Mode = container::kHeaderMode;
    if (!engine.WriteBuffer(header, container::kModeHeaderBytes))
        return false;
    keys.Mode = mode;
    if (!keys.Mangle(keys.Speed, engine.Progress.get())) {
        engine.Cancelled = true;
        return false;
    }
    ReseedGenerators(engine);
    return true;
}

// What follows the payload: its End and the name field with its End (or a
// second End for text); in EmbedMode 4 the Marker, the name field (at most
// 30 bytes, so the reader meets the closing Marker), the Marker. False when the walk ran out before all of it was
// written.
bool CloseBody(StegEngine& engine, const std::string& name)
{
    if (engine.Keys.Mode == EmbedWholeBytes) {
        const auto& marker = engine.Keys.Marker;
        bool written = engine.WriteBuffer(marker.data(), KeyMaterial::kMarkerBytes);
        if (!name.empty())
            written = WriteBytes(engine, StoredNameField(name, container::kMaxNoiseNameBytes)) && written;
        return engine.WriteBuffer(marker.data(), KeyMaterial::kMarkerBytes) && written;
    }
    const bool ended = engine.WriteEndPixel();
    return (name.empty() ? engine.WriteEndPixel() : engine.WriteName(name)) && ended;
}

// The reader takes at most Capacity(5) bytes of body before its closing
// field, and none at all when that is zero or negative; EmbedMode 4 must
// also fit the Marker in them. A payload beyond that would be written but
// could never be read back.
bool ReadableBack(const StegEngine& engine, int32_t mode, uint32_t size)
{
    const int64_t readable = engine.Capacity(container::kDecodeCapacityMode);
    const int64_t needed = int64_t(size) + (mode == EmbedWholeBytes ? int64_t(KeyMaterial::kMarkerBytes) : 0);
    return readable > 0 && needed <= readable;
}

// The bytes WriteName stores for a file; text has no name field.
uint32_t NameFieldBytes(const std::string& name)
{
    return name.empty() ? 0 : static_cast<uint32_t>(StoredNameField(name, container::kMaxNameBytes).size());
}

int32_t PayloadMode(const StegEngine& engine, uint32_t size, const std::string& name)
{
    const int32_t mode = engine.Keys.ModeFixed ? engine.Keys.Mode : engine.ChooseMode(size, NameFieldBytes(name));
    const bool defined = mode >= EmbedBit0OneChannel && mode <= EmbedWholeBytes;
    return defined && ReadableBack(engine, mode, size) ? mode : EmbedNone;
}

} // namespace

bool StegEngine::WriteHeader()
{
    const int32_t count = StoredQuestionCount(Keys);
    const uint8_t level = Keys.LevelByte;
    const uint8_t check = Keys.CheckByte;
    const int32_t mode = Keys.Mode;
    StartHeaderWalk(*this);
    bool written = true;
    if (count > 0)
        written = WriteQuestions(*this, count);
    else
        PassOverEmptyHeader(*this);
    Keys.LevelByte = level;
    Keys.CheckByte = check;
    Keys.Mode = mode;
    HeaderMode = false;
    return written;
}

bool StegEngine::WriteName(const std::string& name)
{
    const bool written = WriteBytes(*this, StoredNameField(name, container::kMaxNameBytes));
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
    const int32_t mode = PayloadMode(*this, size, name);
    if (mode == EmbedNone) {
        ShowRunMessage(Host, message::kNoSuitableEncoder);
        return false;
    }
    RunProgress progress(*this);
    // An image whose body is not complete would not decode: it is never
    // reported as encoded.
    if (!WriteModeHeader(*this, mode) || !WriteBuffer(data, size) || !CloseBody(*this, name)) {
        if (!Cancelled)
            ShowRunMessage(Host, message::kUnableToEncode);
        return false;
    }
    return true;
}

} // namespace lumaquill
