#include "engine/WalkBudget.h"

#include "engine/ContainerFormat.h"
#include "engine/EmbedMode.h"

#include <algorithm>
#include <cassert>

namespace lumaquill {

namespace {

// A 2-row picture's walk is counted only while this many cells it draws
// from are free.
constexpr int64_t kSingleRowSpareCells = 50;

int64_t PixelsPerByte(int32_t mode)
{
    assert(IsBitMode(mode));
    return kEmbedModeLayouts[mode].PixelsPerByte;
}

// The mode header's bytes and the two Ends, whatever the payload.
int64_t FixedPositions(int32_t mode)
{
    const int64_t end = 1 + PixelsPerByte(mode);
    return int64_t(container::kModeHeaderBytes) * PixelsPerByte(container::kHeaderMode) + 2 * end;
}

} // namespace

int64_t WalkBudget::PositionsLeft(int32_t width, int32_t height, int32_t remaining)
{
    int64_t positions = int64_t(remaining) - (container::kMinRemaining - 1);
    if (height < 2)
        return 0;
    if (height == 2) {
        // The free cells of the one row drawn from: its width - 1 cells less
        // the marked ones, which are the 2 x (width - 2) interior count less
        // remaining.
        const int64_t freeCells = int64_t(width) - 1 - (2 * (int64_t(width) - 2) - remaining);
        positions = std::min(positions, freeCells - (kSingleRowSpareCells - 1));
    }
    return std::max<int64_t>(positions, 0);
}

int64_t WalkBudget::RunPositions(int32_t mode, uint64_t payloadBytes, uint32_t nameBytes)
{
    return FixedPositions(mode) + PixelsPerByte(mode) * int64_t(payloadBytes + nameBytes);
}

int64_t WalkBudget::LargestPayload(int32_t mode, int64_t positions, uint32_t nameBytes)
{
    const int64_t room = positions - FixedPositions(mode) - PixelsPerByte(mode) * nameBytes;
    return room < 0 ? -1 : room / PixelsPerByte(mode);
}

} // namespace lumaquill
