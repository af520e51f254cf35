#pragma once

#include <cstdint>
#include <vector>

namespace lumaquill {

// Which pixels the current walk has already written or read.
// Invariant: Remaining = interior cells - cells marked since the last Reset.
class UsedPixelMap {
public:
    virtual ~UsedPixelMap() = default;

    // Stores the new size, then Reset().
    void Resize(int32_t width, int32_t height);
    // All cells free; Remaining = (Height - 2 if Height > 2 else Height) *
    // (Width - 2). Returns whether cells exist.
    bool Reset();
    // Marks a cell used; outside the map, or already used, changes nothing.
    void Mark(int32_t x, int32_t y);
    bool IsUsed(int32_t x, int32_t y) const;
    bool HasCells() const;

    int32_t Remaining = 0;
    int32_t Height = 0;
    int32_t Width = 0;

private:
    // One bit per cell, row-major: cell (x, y) is bit y * Width + x.
    std::vector<uint64_t> Cells;
};

} // namespace lumaquill
