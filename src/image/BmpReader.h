#pragma once

#include "image/BmpFormat.h"
#include "image/LoadProblem.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace lumaquill {

// Reads an untrusted bitmap file in stages (file header, information header,
// bit-field masks, colour table, pixel rows), validating each field before
// anything depends on it, and hands the picture over in the one form the
// system works with: a 40-byte information header with its colour table, and
// uncompressed rows stored bottom-up.
//
// Accepted: information headers of 40, 108 or 124 bytes; 1, 4, 8, 16, 24 or
// 32 bits per pixel; no compression, or 32-bit bit fields in the plain
// blue-green-red byte order; rows stored bottom-up or top-down. Everything
// else is refused, and so is a file whose table or rows do not fit in it.
//
// The rows start at the file header's pixel offset when that lies behind the
// colour table, and directly behind the table otherwise (an offset pointing
// into the headers is ignored). Rows holds the stride x height bytes from
// there; bytes behind the last row are never read, so their number costs
// nothing. Pictures beyond the limits of PictureLimits are refused before
// anything is allocated.
class BmpReader {
public:
    explicit BmpReader(std::istream& file)
        : File(file)
    {
    }

    // True when the file is accepted; Header, Rows and Length are then set.
    bool Read();

    // The file's length.
    uint32_t Length = 0;
    // The 40-byte information header followed by the colour table.
    std::vector<uint8_t> Header;
    std::vector<uint8_t> Rows;
    // Why the file was refused, when Read gives false.
    LoadProblem Problem = LoadProblem::Truncated;
    std::string Detail = "BMP";

private:
    bool Refuse(LoadProblem problem, std::string detail);
    bool MeasureFile();
    bool ReadFileHeader();
    bool ReadInfoHeader();
    bool CheckPixelFormat();
    bool ReadMasks();
    bool PlanLayout();
    bool ReadTable();
    bool ReadRows();
    void Normalise();
    bool ReadExactly(uint8_t* dest, uint64_t count);

    std::istream& File;
    uint32_t PixelOffset = 0;
    uint32_t InfoBytes = 0;
    std::array<uint8_t, bmp::kV5InfoHeaderBytes> Info {};
    uint32_t RowCount = 0;
    bool TopDown = false;
    uint16_t BitCount = 0;
    uint32_t Compression = 0;
    uint32_t MaskBytes = 0;
    uint32_t TableBytes = 0;
    uint64_t RowStride = 0;
    uint64_t RowsStart = 0;
};

} // namespace lumaquill
