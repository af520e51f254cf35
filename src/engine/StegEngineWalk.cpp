#include "engine/ContainerFormat.h"
#include "engine/StegEngine.h"

namespace lumaquill {

namespace {

constexpr Position kNoPosition { -1, -1 };
// The random walk makes up to this many attempts per pixel of the image
// before it falls back to the sequential scan.
constexpr uint32_t kAttemptsPerPixel = 2;

// extent - less in 32 bits that wrap: a header's width or height is
// untrusted and may be any 32-bit value.
int32_t Less(int32_t extent, uint32_t less)
{
    return static_cast<int32_t>(uint32_t(extent) - less);
}

Position Scan(UsedPixelMap& map, int32_t lastX, int32_t lastY)
{
    Position found = kNoPosition;
    if (!map.FindFree(lastX, lastY, found.X, found.Y))
        return kNoPosition;
    return found;
}

} // namespace

// The walk is part of the stored format: the threshold, the draw order (x
// before y), the attempt bound taken as a wrapping 32-bit product and the two
// scans, the fallback one a row and a column narrower than the other, all
// decide which pixels an image's bytes occupy. The walk never marks.
Position StegEngine::NextPosition()
{
    if (UsedPixels.Remaining < container::kMinRemaining)
        return kNoPosition;
    const int32_t width = Width();
    const int32_t height = Height();
    if (FallbackScan || HeaderMode)
        return Scan(UsedPixels, Less(width, 1), Less(height, 1));
    const uint32_t attempts = kAttemptsPerPixel * uint32_t(width) * uint32_t(height);
    for (uint32_t attempt = 0; attempt < attempts; ++attempt) {
        const int32_t x = PositionGen.Range(1, Less(width, 1));
        const int32_t y = PositionGen.Range(1, Less(height, 1));
        if (!UsedPixels.IsUsed(x, y))
            return { x, y };
    }
    FallbackScan = true;
    return Scan(UsedPixels, Less(width, 2), Less(height, 2));
}

void StegEngine::WritePixel(int32_t x, int32_t y, uint32_t value)
{
    SetPixel(x, y, value);
    UsedPixels.Mark(x, y);
}

void StegEngine::MoveToNextPosition()
{
    const Position next = NextPosition();
    CurX = next.X;
    CurY = next.Y;
}

// Marks the current pixel used without touching it and moves on: how the
// question header passes over pixels, and how a reader steps over the end
// pixel that WriteEndPixel wrote (the CheckByte after it is read next).
void StegEngine::PassOverPixel()
{
    UsedPixels.Mark(CurX, CurY);
    MoveToNextPosition();
}

// Every run starts a new walk here: map cleared, sequential and unwhitened,
// EmbedMode 1, LevelByte = CheckByte = 128, at the scan's first position.
void StegEngine::StartHeaderWalk()
{
    UsedPixels.Reset();
    FallbackScan = false;
    HeaderMode = true;
    Keys.LevelByte = container::kHeaderLevelByte;
    Keys.CheckByte = container::kHeaderCheckByte;
    Keys.Mode = container::kHeaderMode;
    MoveToNextPosition();
}

void StegEngine::ReseedGenerators()
{
    PositionGen.Reseed(Keys.PositionSeed.data());
    WhiteningGen.Reseed(Keys.WhiteningSeed.data());
}

} // namespace lumaquill
