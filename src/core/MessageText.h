#pragma once

// The system's messages, the one home of each text the engine, the flows,
// the CLI and the dialogs show (the dialogs wrap them with
// QString::fromUtf8). Texts are UTF-8 and compared byte for byte by the
// tests. Two layers keep their own single table and are not repeated here:
// why a picture cannot be used (LoadProblemText in image/LoadProblem.h) and
// the labels, captions and prompts of each dialog (in that dialog).

namespace lumaquill::message {

// The container or image to work on is missing or unusable.
inline constexpr const char* kNoContainer = "No container image selected.";
inline constexpr const char* kNoImage = "No image selected.";
inline constexpr const char* kInvalidContainer = "Invalid container image.";
inline constexpr const char* kTempContainerFailed = "Could not make the temporary container image.";

// A picture that would be written beyond what the readers take; clauses,
// the first followed by the limits ("at most 65536 pixels a side, ...").
inline constexpr const char* kBeyondPictureLimits = "the picture would be larger than Lumaquill reads back: ";
// A picture too wide or high for the chosen format, a clause: "a WebP
// picture is at most 16383 pixels wide and high; choose PNG or BMP for this
// one", of the format's name, its largest side and the formats that hold
// the picture.
inline constexpr const char* kBeyondFormatSide = "a ";
inline constexpr const char* kBeyondFormatSideLimit = " picture is at most ";
inline constexpr const char* kBeyondFormatSideChoose = " pixels wide and high; choose ";
inline constexpr const char* kBeyondFormatSideEnd = " for this one";

// Reading and packing the data to encode.
inline constexpr const char* kNoData = "No data to encode.";
inline constexpr const char* kCannotRead = "Could not read the chosen file.";
inline constexpr const char* kNoInputBuffer = "Could not allocate memory for input buffer.";
inline constexpr const char* kNoDataBuffer = "Could not allocate memory for data buffer.";
inline constexpr const char* kCompressFailed = "Failed to compress file.";

// Refusals before the work: both are followed by the reason and a full
// stop.
inline constexpr const char* kNoiseTooLarge = "This data is too large for a pure noise image: ";
inline constexpr const char* kOutputCannotHold = "The encoded picture cannot be saved as chosen: ";

// Encoding: no room, or the run failed.
inline constexpr const char* kNoSuitableEncoder = "Could not find a suitable encoder.";
inline constexpr const char* kUnableToEncode = "Unable to encode data.";
// Followed by the sizes: the payload would be written but never restored.
inline constexpr const char* kTooLargeToDecode = "This data is too large to be decoded again from this image: ";

// Decoding and writing out what was decoded.
inline constexpr const char* kNothingDecoded = "Could not decode any useful information from this image.";
inline constexpr const char* kNoOutputBuffer = "Could not allocate memory for output buffer.";
// The start of "Could not write PATH: REASON." (the CLI quotes PATH).
inline constexpr const char* kCouldNotWrite = "Could not write ";
inline constexpr const char* kCouldNotWriteStream = "Could not write the decoded file to its output.";
inline constexpr const char* kStdoutFailed = "Could not write to standard output.";
// The refusal reason for an existing target that is not a regular file.
inline constexpr const char* kNotARegularFile = "it is not a regular file";

// Saving: where a picture or a decoded file went, and what keeps a
// picture's hidden data intact on its way.
inline constexpr const char* kEncodedSavedAs = "The encoded picture was saved as ";
inline constexpr const char* kDecodedSavedAs = "The decoded file was saved as ";
inline constexpr const char* kSendAsFile
    = "Send the picture as a file, not as a photo: messengers recompress photos and destroy what is hidden.";
// Follows the typed file name: " names a lossy format (JPEG, HEIC or AVIF),
// which destroys what is hidden. Save the picture as PNG, BMP or WebP.", of
// the lossy formats and the formats saved.
inline constexpr const char* kLossySaveNameStart = " names a lossy format (";
inline constexpr const char* kLossySaveNameAdvice = "), which destroys what is hidden. Save the picture as ";

// The key: passwords and Quizlock answers, in the order they are checked.
inline constexpr const char* kEnterPassword = "Please enter a password.";
inline constexpr const char* kEnterPasswordTwice = "Please enter the password twice.";
inline constexpr const char* kPasswordsDiffer = "Passwords do not match.";
inline constexpr const char* kPasswordTooShort = "Passwords should be at least four characters long.";
inline constexpr const char* kEnterAnswer = "Please enter an answer.";
inline constexpr const char* kQuizlockIntro
    = "This file has been encoded with Quizlock. Answer the following questions to access the text or file.";

// Sealing. Quizlock stores each answer's digest in the clear, which no
// sealing can protect.
inline constexpr const char* kSealPasswordsOnly
    = "Sealing protects a password only: Quizlock questions cannot be sealed. Untick \"Seal with strong "
      "encryption\" to use questions, or type a password.";
inline constexpr const char* kSealFailed = "Could not seal the data.";

// Stealth images. Each refusal says why and what to do instead; the sizes
// are composed by the stealth flow (StealthTooLarge, StealthAboveSafe).
// Followed by the formats a photo is kept lossless in
// (PictureFormatTable::KeptLosslessList) and kStealthNoNoiseEnd; composed
// by StealthMessages.
inline constexpr const char* kStealthNoNoiseStart
    = "A stealth image needs a photo as its container: a picture of random noise is conspicuous in itself. "
      "Choose a photo kept lossless (";
inline constexpr const char* kStealthNoNoiseEnd = ") instead of a noise picture.";
inline constexpr const char* kStealthNoShrink
    = "A stealth image keeps the photo at its full size: shrinking it smooths away the texture that hides the "
      "changes and packs them more densely, where detectors find them. Keep the picture's size.";
inline constexpr const char* kStealthPasswordsOnly
    = "A stealth image is sealed, which protects a password only: Quizlock questions cannot be used. Type a "
      "password instead of setting questions.";
// Followed by the cover's format name, kStealthLossyCoverAdvice, the
// formats a photo is kept lossless in and kStealthLossyCoverClose; composed
// by StealthMessages.
inline constexpr const char* kStealthLossyCover = "This picture was saved in a lossy format (";
inline constexpr const char* kStealthLossyCoverAdvice
    = "), whose compression grid betrays any change to its pixels, so it cannot carry a stealth image. Use a "
      "photo kept lossless (";
inline constexpr const char* kStealthLossyCoverClose = ") that was never saved in a lossy format.";
inline constexpr const char* kStealthGreyCover
    = "This picture is grey: a stealth image changes its red, green and blue samples each on its own, and the "
      "colour that brings into a grey picture betrays it. Use a colour photo kept lossless.";
inline constexpr const char* kStealthUnsuitable
    = "This picture is too small for a stealth image. Use a larger photo kept lossless.";
inline constexpr const char* kStealthFailed
    = "Could not hide the data as a stealth image: there is not enough memory for this picture. Close other "
      "programs or use a smaller photo.";

// Stealth JPEGs: a JPEG cover written back as a JPEG.
inline constexpr const char* kStealthJpegNotOpened
    = "Could not decode any useful information from this JPEG. A JPEG holds data only when it was written as a "
      "stealth JPEG and not recompressed since: messengers recompress pictures sent as photos, so send it as a "
      "file.";
inline constexpr const char* kStealthJpegUnsuitable
    = "This JPEG is too small for a stealth JPEG, or not a JPEG that can carry one (8-bit greyscale or colour). "
      "Use a larger photo.";
// Followed by the saved formats' extensions
// (PictureFormatTable::SavedExtensionList) and kStealthJpegNeedsJpegCoverEnd;
// composed by StealthMessages.
inline constexpr const char* kStealthJpegNeedsJpegCoverStart
    = "Only a JPEG cover makes a stealth JPEG: any other picture saved as a JPEG loses its hidden data. Give "
      "--out a ";
inline constexpr const char* kStealthJpegNeedsJpegCoverEnd = " name, or a JPEG as --container.";
inline constexpr const char* kStealthJpegFailed = "Could not hide the data as a stealth JPEG.";

} // namespace lumaquill::message
