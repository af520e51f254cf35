#include "image/LoadProblem.h"

#include "image/PictureFormatTable.h"
#include "image/PictureLimits.h"

#include <cctype>

namespace lumaquill {

std::string LoadProblemText(LoadProblem problem, const std::string& detail)
{
    switch (problem) {
    case LoadProblem::None:
        return "";
    case LoadProblem::NotChosen:
        return "no picture has been chosen";
    case LoadProblem::Missing:
        return "the file does not exist";
    case LoadProblem::Folder:
        return "it is a folder, not a picture file";
    case LoadProblem::NotRegular:
        return "it is not a regular file";
    case LoadProblem::Unreadable:
        return "the file could not be read";
    case LoadProblem::NotAPicture:
        return "it is not a picture Lumaquill reads (" + PictureFormatTable::ReadNameList() + ")";
    case LoadProblem::Damaged:
        return "the " + detail + " file is damaged";
    case LoadProblem::BadChecksum:
        return "the " + detail + " file is damaged (a checksum does not match)";
    case LoadProblem::Truncated:
        return "the " + detail + " file is cut short";
    case LoadProblem::Animated:
        return "animated or multi-page pictures cannot be used";
    case LoadProblem::Cmyk:
        return "CMYK JPEG pictures cannot be used; save it as RGB first";
    case LoadProblem::Unsupported:
        return "this kind of picture is not supported (" + detail + ")";
    case LoadProblem::TooLarge:
        return "the picture is too large: " + (detail.empty() ? "Lumaquill takes " + limits::Text() : detail);
    case LoadProblem::FewBits:
        return "it has " + detail + " bits per pixel; a container needs 24 or 32";
    case LoadProblem::Lossy:
        return "it is a lossy " + detail
            + " picture; lossy formats cannot carry hidden data (any data was destroyed when the picture was "
              "saved that way)";
    }
    return "";
}

std::string LoadProblemSentence(LoadProblem problem, const std::string& detail)
{
    std::string text = LoadProblemText(problem, detail);
    if (text.empty())
        return text;
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + ".";
}

} // namespace lumaquill
