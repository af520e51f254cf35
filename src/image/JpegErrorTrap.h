#pragma once

#include "image/LoadProblem.h"

#include <csetjmp>
#include <cstdio>
#include <string>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace lumaquill {

// How every reader of JPEG files (JpegCodec, JpegCoefficientFile) sets up
// libjpeg: its errors, warnings and progress caught here, its memory and
// scans limited, the EXIF and ICC markers kept.
//
// libjpeg reports a fatal error by calling error_exit, which must not
// return: it jumps to Jump, armed by a setjmp in the function that makes
// the libjpeg call, which must hold nothing with a destructor. The error
// manager comes first, so that the handlers and the progress monitor reach
// the trap through the libjpeg object's err pointer.
struct JpegErrorTrap {
    jpeg_error_mgr Manager;
    jpeg_progress_mgr Progress;
    std::jmp_buf Jump;
    // The data ended early: refused at once rather than made good with
    // grey rows or zero coefficients.
    bool CutShort;
    // libjpeg's memory limit was reached.
    bool TooLarge;
    // More than limits::kMaxJpegScans scans.
    bool TooManyScans;

    // APP1 holds the EXIF block, APP2 the ICC profile.
    static constexpr int kExifMarker = JPEG_APP0 + 1;
    static constexpr int kIccMarker = JPEG_APP0 + 2;

    // Routes the errors of the libjpeg object whose err pointer is err here.
    // Before jpeg_create_decompress or jpeg_create_compress.
    void Catch(jpeg_error_mgr*& err);
    // The scan and memory limits, and the EXIF and ICC markers saved. After
    // jpeg_create_decompress, before the header is read.
    void Limit(jpeg_decompress_struct& info);
    // Why a read that jumped here failed, with its detail for the sentence.
    LoadProblem Problem(std::string& detail) const;

    // The orientation the saved EXIF block gives; 1 when there is none.
    static int Orientation(const jpeg_decompress_struct& info);
};

} // namespace lumaquill
