#pragma once

#include "image/JpegCoefficients.h"
#include "image/LoadProblem.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumaquill {

// Reads the quantised coefficients of a JPEG file, and writes changed
// coefficients back into the file they came from without decompressing
// anything: the same frame, components, sampling, quantisation tables and
// restart interval; Huffman tables optimised for the new coefficients;
// progressive when the file was (libjpeg's simple progression script).
// The rewrite keeps the ICC profile and, alone in a minimal EXIF block, the
// orientation; every other marker is dropped.
class JpegCoefficientFile {
public:
    // None, or why the file cannot be read: Damaged, Truncated, TooLarge
    // (beyond the picture limits or libjpeg's memory limit), Cmyk, or
    // Unsupported (with detail: a precision other than 8 bits, more than
    // the scan limit).
    static LoadProblem Read(std::span<const uint8_t> file, JpegCoefficients& out, std::string& detail);

    // The file with its coefficients replaced by coefficients.Values; false
    // when the file cannot be read again, its blocks are not those of
    // coefficients, or a coefficient cannot be coded.
    // REQUIRES: coefficients read from file by Read (then changed).
    static bool Write(std::span<const uint8_t> file, const JpegCoefficients& coefficients, std::vector<uint8_t>& out);
};

} // namespace lumaquill
