#pragma once

#include "image/PictureFormat.h"

#include <QString>

namespace lumaquill {

class StegFlows;

// The file prompts' picture filters, and the reason a chosen picture
// cannot be used, as the dialogs show them.
class PictureFilters {
public:
    // "Images" (every extension read), "Bitmap files (*.bmp)", "All files (*.*)".
    static QString Open();
    // PNG (the default), BMP and WebP: the lossless formats written.
    static QString Save();
    // The extension Save adds to a name typed without one.
    static QString DefaultSaveExtension();
    // The format a saved name's extension asks for; PNG for any other.
    static PictureFormat SaveFormat(const QString& path);
    // The suffix ("png", in any case) names a format the prompt saves.
    static bool IsSavedSuffix(const QString& suffix);
    // "NAME names a lossy format (JPEG, HEIC or AVIF), which destroys what
    // is hidden. Save the picture as PNG, BMP or WebP."
    static QString LossyNameWarning(const QString& fileName);
    // Why the engine's picture cannot be encoded into (or decoded from):
    // "No container image selected." when no picture was chosen (an empty
    // chosenName), else the chosen file's name and the reason, e.g.
    // "cover.jpg cannot be decoded: it is a lossy JPEG picture; ...".
    static QString Refusal(const QString& chosenName, const StegFlows& flows, bool forDecode);
    // A stealth JPEG's only format, for the save prompt: "JPEG pictures
    // (*.jpg *.jpeg)", with "jpg" added to a name typed without it.
    static QString StealthJpegSave();
    static QString StealthJpegExtension();
};

} // namespace lumaquill
