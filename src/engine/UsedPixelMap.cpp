#include "engine/UsedPixelMap.h"

#include <algorithm>
#include <bit>

namespace lumaquill {

namespace {

constexpr uint64_t kCellBits = 64;
constexpr uint64_t kAllBits = ~uint64_t(0);

} // namespace

int32_t UsedPixelMap::InteriorCells(int32_t width, int32_t height)
{
    const uint32_t rows = height > 2 ? uint32_t(height) - 2u : uint32_t(height);
    return static_cast<int32_t>(rows * (uint32_t(width) - 2u));
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
    CellsWidth = 0;
    CellsHeight = 0;
    if (Width > 0 && Height > 0) {
        const uint64_t cells = uint64_t(Width) * uint64_t(Height);
        Cells.assign((cells + kCellBits - 1) / kCellBits, 0);
        CellsWidth = Width;
        CellsHeight = Height;
    }
    Remaining = InteriorCells(Width, Height);
    Cursors = {};
    NextCursorSlot = 0;
    return HasCells();
}

bool UsedPixelMap::HasCells() const
{
    return !Cells.empty();
}

bool UsedPixelMap::IsUsed(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= CellsWidth || y >= CellsHeight)
        return false;
    const uint64_t bit = uint64_t(y) * uint64_t(CellsWidth) + uint64_t(x);
    return (Cells[bit / kCellBits] >> (bit % kCellBits)) & 1;
}

void UsedPixelMap::Mark(int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x >= CellsWidth || y >= CellsHeight)
        return;
    const uint64_t bit = uint64_t(y) * uint64_t(CellsWidth) + uint64_t(x);
    uint64_t& word = Cells[bit / kCellBits];
    const uint64_t mask = uint64_t(1) << (bit % kCellBits);
    if (word & mask)
        return;
    word |= mask;
    Remaining = static_cast<int32_t>(uint32_t(Remaining) - 1u);
}

bool UsedPixelMap::FindFree(int32_t lastX, int32_t lastY, int32_t& x, int32_t& y)
{
    if (lastX < 1 || lastY < 1)
        return false;
    ScanCursor& cursor = CursorFor(lastX, lastY);
    for (; cursor.Y <= lastY; ++cursor.Y, cursor.X = 1) {
        const int32_t free = FirstFreeInRow(cursor.Y, cursor.X, lastX);
        if (free >= 0) {
            // The cursor stays on the cell handed out: the caller marks it,
            // and the next call steps over it.
            cursor.X = free;
            x = free;
            y = cursor.Y;
            return true;
        }
    }
    return false;
}

UsedPixelMap::ScanCursor& UsedPixelMap::CursorFor(int32_t lastX, int32_t lastY)
{
    for (ScanCursor& cursor : Cursors) {
        if (cursor.Valid && cursor.LastX == lastX && cursor.LastY == lastY)
            return cursor;
    }
    ScanCursor& fresh = Cursors[NextCursorSlot];
    NextCursorSlot = (NextCursorSlot + 1) % Cursors.size();
    fresh = ScanCursor { true, lastX, lastY, 1, 1 };
    return fresh;
}

int32_t UsedPixelMap::FirstFreeInRow(int32_t y, int32_t from, int32_t to) const
{
    if (from > to)
        return -1;
    if (y >= CellsHeight)
        return from;
    const int32_t inMapTo = std::min(to, CellsWidth - 1);
    if (from <= inMapTo) {
        const uint64_t rowStart = uint64_t(y) * uint64_t(CellsWidth);
        const int64_t bit = FirstClearBit(rowStart + uint64_t(from), rowStart + uint64_t(inMapTo));
        if (bit >= 0)
            return static_cast<int32_t>(uint64_t(bit) - rowStart);
    }
    // Columns beyond the map's width count as free.
    return to >= CellsWidth ? std::max(from, CellsWidth) : -1;
}

// The lowest clear bit in first..last (inclusive), or -1; skips used cells a
// word at a time.
int64_t UsedPixelMap::FirstClearBit(uint64_t first, uint64_t last) const
{
    const uint64_t lastWord = last / kCellBits;
    for (uint64_t word = first / kCellBits; word <= lastWord; ++word) {
        uint64_t clear = ~Cells[word];
        if (word == first / kCellBits)
            clear &= kAllBits << (first % kCellBits);
        if (word == lastWord && last % kCellBits != kCellBits - 1)
            clear &= (uint64_t(1) << (last % kCellBits + 1)) - 1;
        if (clear)
            return static_cast<int64_t>(word * kCellBits + uint64_t(std::countr_zero(clear)));
    }
    return -1;
}

} // namespace lumaquill
