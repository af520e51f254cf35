#include "engine/UsedPixelMap.h"

namespace lumaquill {

namespace {
constexpr uint64_t kCellBits = 64;
}

void UsedPixelMap::Resize(int32_t width, int32_t height)
{
    Width = width;
    Height = height;
    Reset();
}

bool UsedPixelMap::Reset()
{
    Cells.clear();
    if (Width > 0 && Height > 0) {
        const uint64_t cells = uint64_t(Width) * uint64_t(Height);
        Cells.assign((cells + kCellBits - 1) / kCellBits, 0);
    }
    Remaining = (Height > 2 ? Height - 2 : Height) * (Width - 2);
    return HasCells();
}

bool UsedPixelMap::HasCells() const
{
    return !Cells.empty();
}

bool UsedPixelMap::IsUsed(int32_t x, int32_t y) const
{
    if (Cells.empty() || x < 0 || y < 0 || x >= Width || y >= Height)
        return false;
    const uint64_t bit = uint64_t(y) * uint64_t(Width) + uint64_t(x);
    return (Cells[bit / kCellBits] >> (bit % kCellBits)) & 1;
}

void UsedPixelMap::Mark(int32_t x, int32_t y)
{
    if (Cells.empty() || x < 0 || y < 0 || x >= Width || y >= Height)
        return;
    const uint64_t bit = uint64_t(y) * uint64_t(Width) + uint64_t(x);
    uint64_t& word = Cells[bit / kCellBits];
    const uint64_t mask = uint64_t(1) << (bit % kCellBits);
    if (word & mask)
        return;
    word |= mask;
    --Remaining;
}

} // namespace lumaquill
