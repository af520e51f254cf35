#include "engine/StegEngine.h"

#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"
#include "engine/WalkBudget.h"
#include "image/ColourProfile.h"
#include "image/NoiseImage.h"
#include "image/PictureFile.h"
#include "image/ScaledImage.h"
#include "io/AtomicFile.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
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

// Pictures of 2^31 pixel bytes or more cannot be written as a bitmap file by
// any build, so no stored image depends on what a wrapping 32-bit sum would
// give for them: the figure is clamped to the int32 range.
int32_t Saturated(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
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
    return TakeLoadedImage();
}

bool StegEngine::AdoptContainer(std::istream& file)
{
    Read(file);
    LastLoad = PictureLoad {};
    return TakeLoadedImage();
}

namespace {

// A picture made in memory is loaded through the bytes its bitmap file
// would hold, so the container is exactly what writing and reading that
// file gives.
template <typename Picture> bool AdoptPicture(StegEngine& engine, const Picture& picture)
{
    std::stringstream file(std::ios::in | std::ios::out | std::ios::binary);
    return picture.Write(file) != 0 && engine.AdoptContainer(file);
}

} // namespace

bool StegEngine::AdoptNoiseContainer(int32_t n)
{
    NoiseImage noise;
    noise.Create(n);
    if (!AdoptPicture(*this, noise))
        return false;
    Keys.ModeFixed = true;
    Keys.Mode = EmbedWholeBytes;
    return true;
}

bool StegEngine::AdoptScaledContainer(ScaledImage& scaled)
{
    ColourProfile profile = LastLoad.Profile;
    const bool loaded = AdoptPicture(*this, scaled);
    LastLoad.Profile = std::move(profile);
    scaled.Release();
    return loaded;
}

void StegEngine::RestoreContainer(const DibImage& image, const PictureLoad& load)
{
    DibImage::operator=(image);
    LastLoad = load;
    TakeLoadedImage();
}

bool StegEngine::TakeLoadedImage()
{
    if (!IsUsableContainer())
        return false;
    UsedPixels.Resize(Width(), Height());
    FallbackScan = false;
    return true;
}

// The target is replaced only by a completely written file, so a failed save
// leaves an existing file as it was.
std::optional<std::vector<uint8_t>> StegEngine::ContainerFile(PictureFormat format) const
{
    if (!IsValid())
        return std::nullopt;
    return PictureFile::Encode(format, *this, LastLoad.Profile);
}

FileWriteResult StegEngine::SaveContainer(const std::string& path, PictureFormat format, ExistingFile existing)
{
    if (!IsValid())
        return { false, "there is no image to save" };
    const std::string problem = PictureFile::WriteProblem(format, uint32_t(Width()), uint32_t(Height()), BitCount());
    if (!problem.empty())
        return { false, problem };
    const std::optional<std::vector<uint8_t>> bytes = ContainerFile(format);
    if (!bytes)
        return { false, "the image could not be put together" };
    return WriteFileAtomically(path, bytes->data(), bytes->size(), existing);
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

int32_t StegEngine::Capacity(int32_t mode) const
{
    return CapacityFor(Width(), Height(), BitCount(), mode);
}

// P = (((W * B + 31) >> 5) * H * 4) / (B / 8): the pixel slots of the stored
// rows, row padding included. Without a header, or with fewer than 8 bits
// per pixel, the image has no slots (P = 0), so every mode answers -4096.
int32_t StegEngine::CapacityFor(int32_t width, int32_t height, uint16_t bits, int32_t mode)
{
    // Beyond this many slots every mode saturates; it also keeps the
    // product of the two 32-bit sides within 64 bits.
    constexpr int64_t kSaturatingSlots = int64_t(1) << 40;
    int64_t slots = 0;
    if (bits >= kBitsPerByte && width > 0 && height > 0) {
        const int64_t rowBytes = ((int64_t(width) * bits + 31) >> 5) * 4;
        slots = rowBytes > kSaturatingSlots / height ? kSaturatingSlots : rowBytes * height / (bits / kBitsPerByte);
    }
    const int64_t reserve = container::kCapacityReserve;
    // The decode run sizes its buffers as for whole bytes.
    if (mode == container::kDecodeCapacityMode)
        mode = EmbedWholeBytes;
    if (mode < 0 || mode >= kEmbedModeCount)
        return static_cast<int32_t>(-reserve);
    const EmbedModeLayout& layout = kEmbedModeLayouts[mode];
    if (layout.PixelsPerByte == 0)
        return Saturated(int64_t(layout.BytesPerPixel) * slots - reserve);
    return Saturated(slots / layout.PixelsPerByte - reserve);
}

// A mode fits when the rest of the walk holds its run (see WalkBudget) and,
// in a container whose densest mode has a positive capacity, the payload is
// below the mode's capacity, which never holds for a capacity of zero or
// less. The walk falls short of the capacity in large pictures: the
// capacity counts every pixel slot less a fixed reserve, while the walk
// stops once fewer than 100 of the (width - 2) x (height - 2) cells of its
// count are free, and its draws in the rightmost column and the top row
// lower that count too. A container too small for even the densest mode's
// capacity has only the walk to go by.
int32_t StegEngine::ChooseMode(uint32_t size, uint32_t nameBytes) const
{
    const bool rated = Capacity(EmbedBits012) > 0;
    const int64_t positions = WalkBudget::PositionsLeft(Width(), Height(), UsedPixels.Remaining);
    for (int32_t mode : kChoosableModes) {
        const int32_t capacity = Capacity(mode);
        if (rated && (capacity <= 0 || size >= uint32_t(capacity)))
            continue;
        if (WalkBudget::RunPositions(mode, size, nameBytes) <= positions)
            return mode;
    }
    return EmbedNone;
}

} // namespace lumaquill
