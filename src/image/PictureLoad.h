#pragma once

#include "image/ColourProfile.h"
#include "image/LoadProblem.h"
#include "image/PictureFormat.h"

#include <string>
#include <utility>

namespace lumaquill {

// What loading a picture file found: its format, whether its pixels are
// exact (only those can carry hidden data), its colour profile, or why it
// could not be used.
struct PictureLoad {
    LoadProblem Problem = LoadProblem::None;
    // Completes the problem's text (see LoadProblemText).
    std::string Detail;
    PictureFormat Format = PictureFormat::Bmp;
    bool Lossless = true;
    ColourProfile Profile;

    bool Ok() const { return Problem == LoadProblem::None; }

    static PictureLoad Failed(LoadProblem problem, std::string detail = {})
    {
        PictureLoad load;
        load.Problem = problem;
        load.Detail = std::move(detail);
        return load;
    }
};

} // namespace lumaquill
