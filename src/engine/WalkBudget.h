#pragma once

#include <cstdint>

namespace lumaquill {

// How many positions the walk can still hand out, and how many the rest of
// an encode run takes in each bit mode: the mode choice compares the two, so
// a chosen mode always has the pixels it needs.
class WalkBudget {
public:
    // The positions a walk over a width x height picture still hands out,
    // the current one included, when remaining interior cells are free (the
    // map's Remaining) and the walk stands at a position of its own.
    //
    // Invariant, for every key: NextPosition hands out only free cells, each
    // caller marks the cell it was handed before asking again (the last one
    // of a run excepted), and every mark lowers Remaining by one, also for
    // cells of the rightmost column and the top row that the interior count
    // leaves out. Positions come while Remaining >= kMinRemaining, which
    // makes Remaining - (kMinRemaining - 1) of them. The random draws,
    // uniform over the (width - 1) x (height - 1) cells they reach, never
    // leave one of them out: in a picture 3 rows high or more at least
    // width + height + 97 of those cells are free while Remaining >=
    // kMinRemaining, so all 2 x width x height attempts of one step miss them
    // with a probability below e^-200. A picture 2 rows high has a single
    // row to draw from and no row for the fallback scan, so its walk ends
    // once the draws miss every free cell: its count stops while 50 of them
    // are still free, where that probability is below e^-200 too. A picture
    // 1 row high has no row at all.
    static int64_t PositionsLeft(int32_t width, int32_t height, int32_t remaining);

    // The positions that follow the question header in a bit mode: the mode
    // header, the payload, its End, the name field and its End (a second End
    // for text, nameBytes = 0). An End is an end pixel and its CheckByte.
    static int64_t RunPositions(int32_t mode, uint64_t payloadBytes, uint32_t nameBytes);

    // The largest payload whose run fits in that many positions in a bit
    // mode; -1 when not even an empty one does.
    static int64_t LargestPayload(int32_t mode, int64_t positions, uint32_t nameBytes);
};

} // namespace lumaquill
