#pragma once

namespace lumaquill {

// What lumaquill-cli returns to its caller.
enum ExitStatus : int {
    ExitOk = 0, // encoded, decoded, information shown, or help printed
    ExitFailure = 1, // the engine failed, nothing was decoded, or a file could not be read or written
    ExitUsage = 2, // the command line or a typed key was not acceptable
};

} // namespace lumaquill
