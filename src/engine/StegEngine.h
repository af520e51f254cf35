#pragma once

#include "core/Frontend.h"
#include "core/ProgressSink.h"
#include "engine/DecodeOutcome.h"
#include "engine/UsedPixelMap.h"
#include "image/DibImage.h"
#include "image/PictureLoad.h"
#include "keys/IsaacGen.h"
#include "keys/KeyMaterial.h"

#include <cstdint>
#include <memory>
#include <string>

namespace lumaquill {

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
    // Why the container cannot be encoded into (or decoded from, with
    // forDecode, which also refuses lossy pictures); None when it can.
    LoadProblem ContainerProblem(bool forDecode, std::string& detail) const;
    // Atomic: written to a temporary file beside the target, then renamed.
    // A PNG or WebP output carries the loaded cover's colour profile.
    bool SaveContainer(const std::string& path, PictureFormat format = PictureFormat::Bmp);
    int32_t Capacity(int32_t mode) const;
    int32_t ChooseMode(uint32_t size) const;

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
    bool ReadHeader();
    DecodeOutcome Decode(std::string& result);
    std::string ReadName();

    UsedPixelMap UsedPixels;
    KeyMaterial Keys;
    int32_t FallbackScan = 0;
    int32_t HeaderMode = 0;
    std::unique_ptr<ProgressSink> Progress;
    int32_t CurX = -1;
    int32_t CurY = -1;
    IsaacGen PositionGen;
    IsaacGen WhiteningGen;
    int32_t WriteByteIndex = 0;
    int32_t ReadByteIndex = 0;
    PictureLoad LastLoad;

private:
    Frontend Host;
};

} // namespace lumaquill
