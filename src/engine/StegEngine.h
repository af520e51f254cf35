#pragma once

#include "core/Frontend.h"
#include "core/ProgressSink.h"
#include "engine/DecodeOutcome.h"
#include "engine/UsedPixelMap.h"
#include "image/DibImage.h"
#include "image/PictureLoad.h"
#include "io/AtomicFile.h"
#include "keys/IsaacGen.h"
#include "keys/KeyMaterial.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumaquill {

class ScaledImage;
class SecretBytes;

struct Position {
    int32_t X;
    int32_t Y;
    bool operator==(const Position&) const = default;
};

// Hides bytes in, and extracts them from, the pixels of its own image: the
// engine is the container. It shows nothing itself; messages, the busy
// cursor, progress and the save prompt go through the Frontend.
class StegEngine : public DibImage {
public:
    StegEngine();
    ~StegEngine() override;

    StegEngine(const StegEngine&) = delete;
    StegEngine& operator=(const StegEngine&) = delete;

    void SetFrontend(const Frontend& frontend) { Host = frontend; }
    const Frontend& GetFrontend() const { return Host; }

    // Container and capacity.
    bool IsUsableContainer() const;
    // Reads any supported picture file; LastLoad tells what it was, or why
    // it was refused.
    bool LoadContainer(const std::string& path);
    // Loads a bitmap file's bytes from a stream, exactly as LoadContainer
    // loads them from a file: containers made in memory (noise, shrink)
    // need no file at all. LastLoad then tells of a lossless bitmap with no
    // colour profile.
    bool AdoptContainer(std::istream& file);
    // Why the container cannot be encoded into (or decoded from, with
    // forDecode, which also refuses lossy pictures); None when it can.
    LoadProblem ContainerProblem(bool forDecode, std::string& detail) const;
    // The noise picture of side n + 2 as the container, in EmbedMode 4,
    // loaded through the bytes of its bitmap file; false when it does not
    // load. Making it draws from the runtime generator.
    bool AdoptNoiseContainer(int32_t n);
    // The rescaled picture as the container, loaded through the bytes of
    // its bitmap file; it keeps the cover's colour profile for the saved
    // output. The picture's pixels are released either way; false when it
    // does not load.
    bool AdoptScaledContainer(ScaledImage& scaled);
    // Puts back a container kept aside (its pixels and how it was loaded),
    // as LoadContainer would have left it.
    void RestoreContainer(const DibImage& image, const PictureLoad& load);
    // The bytes of the container as a file of the format; a PNG or WebP
    // carries the loaded cover's colour profile. Nothing without a picture
    // or when encoding fails.
    std::optional<std::vector<uint8_t>> ContainerFile(PictureFormat format) const;
    // Atomic: written to a temporary file beside the target, then renamed
    // (see WriteFileAtomically).
    FileWriteResult SaveContainer(const std::string& path, PictureFormat format = DefaultOutputFormat(),
        ExistingFile existing = ExistingFile::Replace);
    int32_t Capacity(int32_t mode) const;
    // Capacity of a width x height picture of bits per pixel, as Capacity
    // gives it once such a picture is loaded. Saturates at the int32 limits
    // instead of wrapping: no stored image can be that large.
    static int32_t CapacityFor(int32_t width, int32_t height, uint16_t bits, int32_t mode);
    // The sparsest bit mode that holds a payload of size bytes and a name
    // field of nameBytes (0 for text) from where the walk stands: an encode
    // asks once the question header is written. EmbedNone when none does.
    // The choice depends on no key (the walk's count does not), and the
    // decoder never repeats it: it reads the mode from the ModeByte.
    int32_t ChooseMode(uint32_t size, uint32_t nameBytes) const;

    // The walk.
    Position NextPosition();
    void WritePixel(int32_t x, int32_t y, uint32_t value);

    // Bit embedding.
    bool WriteByte(uint8_t value);
    bool ReadByte(uint8_t& out, bool ignoreEnd);
    bool WriteEndPixel();
    bool WriteBuffer(const uint8_t* data, uint32_t count);
    bool ReadBuffer(uint8_t* dest, uint32_t& count, bool ignoreEnd);

    // Encode run.
    bool WriteHeader();
    bool WriteName(const std::string& name);
    bool Encode(const uint8_t* data, uint32_t size, const std::string& name);

    // Decode run.
    // The key of one decode: the digests the stored format is keyed with,
    // and the key text as typed (null when only the digests are known),
    // which opens a sealed envelope. SealedKey when the digests are those of
    // T', the sealed-image key made from the key text.
    struct DecodeKey {
        Sha1Bytes Sha1 = {};
        Md5Bytes Md5 = {};
        const SecretBytes* Text = nullptr;
        bool SealedKey = false;
    };
    // Decode, first step: lends the set to the key material and reads the
    // question header, which needs no key. True when questions are stored;
    // the set then holds them.
    bool ReadStoredQuestions(QuestionSet& questions);
    // Decode, second step, right after the header is read: the digests
    // handed to the key material as the decode dialog hands them, the key
    // text lent for the run only, then Decode into holder.
    DecodeOutcome DecodeWith(const DecodeKey& key, std::string& holder);
    bool ReadHeader();
    DecodeOutcome Decode(std::string& result);
    std::string ReadName();
    // The last steps of a decode, once the payload and the stored name have
    // been read: "Decompressing Data", restoring the zlib stream (at most
    // outputCap bytes); a sealed envelope is opened with the key material's
    // key text and its stream restored the same way (one that does not open
    // is delivered as stored when the key is classic, see ClassicPayload);
    // then text into holder, or the file offered under a safe name and
    // written where the front end's save prompt says. The caller's progress is still up and is
    // closed by the caller.
    DecodeOutcome DeliverPayload(
        const uint8_t* payload, size_t size, const std::string& storedName, uint64_t outputCap, std::string& holder);
    // The same last steps for a payload whose envelope is already open (a
    // stealth image's): the zlib stream restored within outputCap bytes,
    // then text into holder or the file offered under a safe name. Its
    // content is delivered as it stands, never taken for a sealed envelope.
    DecodeOutcome DeliverOpenedPayload(
        const uint8_t* stream, size_t size, const std::string& storedName, uint64_t outputCap, std::string& holder);

    // Whether the progress display has asked the run to stop; once it has,
    // Cancelled stays set until the next Encode or Decode starts.
    bool StopRequested();

    UsedPixelMap UsedPixels;
    KeyMaterial Keys;
    bool FallbackScan = false;
    bool HeaderMode = false;
    std::unique_ptr<ProgressSink> Progress;
    // The last Encode or Decode stopped at the user's request: it failed
    // silently, and an encode left the container half written.
    bool Cancelled = false;
    int32_t CurX = -1;
    int32_t CurY = -1;
    IsaacGen PositionGen;
    IsaacGen WhiteningGen;
    int32_t WriteByteIndex = 0;
    int32_t ReadByteIndex = 0;
    PictureLoad LastLoad;

private:
    class FieldBuffer;
    // Whether a restored payload may still be a sealed envelope to open.
    enum class Envelopes { Open, Deliver };

    // The map follows a newly loaded usable picture; false when it is not
    // usable.
    bool TakeLoadedImage();

    // Walk steps the encode and decode runs share; the reader repeats the
    // writer's moves exactly (StegEngineWalk.cpp).
    void MoveToNextPosition();
    void PassOverPixel();
    void StartHeaderWalk();
    void ReseedGenerators();

    // Byte embedding (StegEngineEmbedding.cpp).
    bool AtPicturePixel() const;
    uint8_t NextWhitening();
    bool WriteWholeByte(uint8_t value);
    bool ReadWholeByte(uint8_t& out);
    bool EndsWithMarker(const uint8_t* dest, uint32_t i, uint8_t b) const;

    // Encode run (StegEngineEncode.cpp).
    bool WriteText(const std::string& text);
    bool WriteQuestions(int32_t count);
    void PassOverEmptyHeader();
    bool WriteModeHeader(int32_t mode);
    bool CloseBody(const std::string& name);
    bool ReadableBack(int32_t mode, uint32_t size) const;
    int32_t PayloadMode(uint32_t size, const std::string& name) const;

    // Decode run (StegEngineDecode.cpp).
    uint8_t StepOverEnd();
    void ReadQuestion(FieldBuffer& field, size_t i);
    bool EndHeader(bool questionsFound);
    std::optional<uint8_t> ReadModeByte();
    bool CheckByteMatches();

    // Delivery of a decoded payload (StegEngineDeliver.cpp).
    std::optional<DecodeOutcome> OpenSealed(
        std::span<const uint8_t> envelope, const std::string& storedName, uint64_t outputCap, std::string& holder);
    bool ClassicPayload() const;
    DecodeOutcome RestoreAndDeliver(const uint8_t* payload, size_t size, const std::string& storedName,
        uint64_t outputCap, Envelopes envelopes, std::string& holder);

    Frontend Host;
};

} // namespace lumaquill
