#include "engine/StegEngine.h"

#include "engine/AtomicFile.h"
#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "image/PictureFile.h"

#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

namespace {

// A fresh engine's map, before any container is loaded.
constexpr int32_t kInitialMapSide = 100;
// Containers need at least this many bits per pixel.
constexpr uint16_t kMinUsableBits = 24;
// Bits per byte of a stored pixel; below one byte a pixel has no slot count.
constexpr uint32_t kBitsPerByte = 8;
// ChooseMode tests these modes, sparsest first; mode 4 is never chosen.
constexpr int32_t kChoosableModes[] = { EmbedBit0OneChannel, EmbedBit0ThreeChannels, EmbedBits01, EmbedBits012 };
// Capacity divisors of P per mode; mode 4 and 5 multiply instead.
constexpr int32_t kPixelsPerByteMode0 = 8;
constexpr int32_t kPixelsPerByteMode1 = 3;
constexpr int32_t kPixelsPerByteMode2 = 2;
constexpr uint32_t kBytesPerPixelMode4 = 3;
// Capacity 5 is the size the decode run gives its buffers; it equals 4.
constexpr int32_t kDecodeSizingMode = 5;

// 32-bit signed arithmetic that wraps instead of overflowing.
int32_t WrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(uint32_t(a) - uint32_t(b));
}

} // namespace

StegEngine::StegEngine()
{
    UsedPixels.Resize(kInitialMapSide, kInitialMapSide);
}

StegEngine::~StegEngine()
{
    // The progress display goes first, before the generators and the image.
    Progress.reset();
}

bool StegEngine::IsUsableContainer() const
{
    return IsValid() && BitCount() >= kMinUsableBits;
}

// A refused file leaves the image empty, so that after any failed load the
// engine holds no usable container.
bool StegEngine::LoadContainer(const std::string& path)
{
    LastLoad = PictureFile::Load(path, *this);
    if (!IsUsableContainer())
        return false;
    UsedPixels.Resize(Width(), Height());
    FallbackScan = 0;
    return true;
}

// The target is replaced only by a completely written file, so a failed save
// leaves an existing file as it was.
bool StegEngine::SaveContainer(const std::string& path, PictureFormat format)
{
    if (!IsValid())
        return false;
    const std::optional<std::vector<uint8_t>> bytes = PictureFile::Encode(format, *this, LastLoad.Profile);
    return bytes && WriteFileAtomically(path, bytes->data(), bytes->size());
}

LoadProblem StegEngine::ContainerProblem(bool forDecode, std::string& detail) const
{
    detail = LastLoad.Detail;
    if (!LastLoad.Ok())
        return LastLoad.Problem;
    if (!IsValid())
        return LoadProblem::NotChosen;
    if (!IsUsableContainer()) {
        detail = std::to_string(BitCount());
        return LoadProblem::FewBits;
    }
    if (forDecode && !LastLoad.Lossless) {
        detail = PictureFormatName(LastLoad.Format);
        return LoadProblem::Lossy;
    }
    return LoadProblem::None;
}

// P = (((W * B + 31) >> 5) * H * 4) / (B / 8) in 32-bit words: the pixel
// slots of the stored rows, row padding included. Without a header, or with
// fewer than 8 bits per pixel, the image has no slots (P = 0), so every mode
// answers -4096.
int32_t StegEngine::Capacity(int32_t mode) const
{
    const uint32_t bits = BitCount();
    int32_t slots = 0;
    if (bits >= kBitsPerByte) {
        const uint32_t rowWords = (uint32_t(Width()) * bits + 31u) >> 5;
        const int32_t rowBytes = static_cast<int32_t>(rowWords * uint32_t(Height()) * 4u);
        slots = rowBytes / static_cast<int32_t>(bits / kBitsPerByte);
    }
    const int32_t reserve = container::kCapacityReserve;
    switch (mode) {
    case EmbedBit0OneChannel:
        return WrapSub(slots / kPixelsPerByteMode0, reserve);
    case EmbedBit0ThreeChannels:
        return WrapSub(slots / kPixelsPerByteMode1, reserve);
    case EmbedBits01:
        return WrapSub(slots / kPixelsPerByteMode2, reserve);
    case EmbedBits012:
        return WrapSub(slots, reserve);
    case EmbedWholeBytes:
    case kDecodeSizingMode:
        return WrapSub(static_cast<int32_t>(kBytesPerPixelMode4 * uint32_t(slots)), reserve);
    default:
        return -reserve;
    }
}

// A mode whose capacity is zero or negative never fits. Only a container too
// small for even the densest choosable mode gets mode 0 for every size, as a
// comparison of the capacities taken unsigned gives.
int32_t StegEngine::ChooseMode(uint32_t size) const
{
    for (int32_t mode : kChoosableModes) {
        const int32_t capacity = Capacity(mode);
        if (capacity > 0 && size < uint32_t(capacity))
            return mode;
    }
    if (Capacity(EmbedBits012) <= 0)
        return EmbedBit0OneChannel;
    return EmbedNone;
}

} // namespace lumaquill
