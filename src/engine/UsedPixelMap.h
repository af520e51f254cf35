#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumaquill {

// Which pixels the current walk has already written or read.
// Invariant: Remaining = interior cells - cells marked since the last Reset.
// Cells only go from free to used between two Resets; the scan cursors rely
// on that.
class UsedPixelMap {
public:
    virtual ~UsedPixelMap() = default;

    // Stores the new size, then Reset().
    void Resize(int32_t width, int32_t height);
    // All cells free; Remaining = InteriorCells(Width, Height). Returns
    // whether cells exist.
    bool Reset();
    // Remaining after a Reset of a width x height map: (height - 2 if
    // height > 2, else height) x (width - 2), in 32-bit words that wrap, as
    // the walk's threshold test sees it.
    static int32_t InteriorCells(int32_t width, int32_t height);
    // Marks a cell used; outside the map, or already used, changes nothing.
    void Mark(int32_t x, int32_t y);
    // Cells outside the map, and every cell of a map without cells, are free.
    bool IsUsed(int32_t x, int32_t y) const;
    bool HasCells() const;

    // The first free cell of the scan over rows y = 1..lastY and, within each
    // row, columns x = 1..lastX. False when the scan holds no free cell; a
    // map without cells answers (1, 1) for any non-empty scan. Costs O(1)
    // amortised per call over a walk: each scan bound keeps a cursor at the
    // first cell that may still be free.
    bool FindFree(int32_t lastX, int32_t lastY, int32_t& x, int32_t& y);

    int32_t Remaining = 0;
    int32_t Height = 0;
    int32_t Width = 0;

private:
    // Invariant: every cell of the scan (LastX, LastY) that comes before
    // (X, Y) in scan order is used. Y = LastY + 1 means the scan is spent.
    struct ScanCursor {
        bool Valid = false;
        int32_t LastX = 0;
        int32_t LastY = 0;
        int32_t X = 1;
        int32_t Y = 1;
    };

    ScanCursor& CursorFor(int32_t lastX, int32_t lastY);
    // First free column in from..to of row y (y >= 0, from >= 0), or -1.
    int32_t FirstFreeInRow(int32_t y, int32_t from, int32_t to) const;
    int64_t FirstClearBit(uint64_t first, uint64_t last) const;

    // One bit per cell, row-major: cell (x, y) is bit y * CellsWidth + x.
    // The dimensions the bits were laid out with are kept apart from the
    // public Width and Height so that indexing never leaves the array.
    std::vector<uint64_t> Cells;
    int32_t CellsWidth = 0;
    int32_t CellsHeight = 0;
    // The walk uses two scans (the full one and the one-narrower fallback).
    std::array<ScanCursor, 2> Cursors;
    std::size_t NextCursorSlot = 0;
};

} // namespace lumaquill
