#pragma once

#include <string>

namespace lumaquill {

// Why a picture file could not be used. The texts live in LoadProblemText.
enum class LoadProblem {
    None,
    NotChosen, // no picture has been loaded
    Missing, // no such file
    Folder, // the path names a folder
    NotRegular, // a device, pipe or socket, which cannot be read as a picture
    Unreadable, // the file exists but could not be read
    NotAPicture, // no signature of a format Lumaquill reads
    Damaged, // the format's own checks failed; the detail says which
    BadChecksum, // a PNG chunk's CRC does not match
    Truncated, // the file ends before the picture does
    Animated, // animated or multi-page
    Cmyk, // a CMYK or YCCK JPEG
    Unsupported, // a variant the reader does not handle; the detail says which
    TooLarge, // beyond the picture limits; a detail says why when it is not the size
    FewBits, // loaded, but under 24 bits per pixel; the detail is the count
    Lossy, // a lossy picture given to decode; the detail is the format
};

// The reason as a clause that starts in lower case and has no full stop,
// e.g. "the file does not exist"; the CLI puts it behind the file's name,
// the dialogs capitalise it below their own text.
std::string LoadProblemText(LoadProblem problem, const std::string& detail);

// The clause as a sentence of its own: capitalised, with a full stop.
std::string LoadProblemSentence(LoadProblem problem, const std::string& detail);

} // namespace lumaquill
