#pragma once

namespace lumaquill::stealth {

// The outcome of hiding in or opening a stealth image.
enum class StealthStatus {
    Done,
    // The content and stored name exceed the largest size of the picture.
    TooLarge,
    // Not a 24- or 32-bit picture, too small for the format, or (when hiding)
    // too large for the memory the run can have.
    Unsuitable,
    // A wrong key, no stealth image, or a changed one: never told apart.
    NotOpened,
};

} // namespace lumaquill::stealth
