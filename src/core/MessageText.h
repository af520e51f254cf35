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

// Reading and packing the data to encode.
inline constexpr const char* kNoData = "No data to encode.";
inline constexpr const char* kCannotRead = "Could not read the chosen file.";
inline constexpr const char* kNoInputBuffer = "Could not allocate memory for input buffer.";
inline constexpr const char* kNoDataBuffer = "Could not allocate memory for data buffer.";
inline constexpr const char* kCompressFailed = "Failed to compress file.";

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
// Follows the typed file name.
inline constexpr const char* kLossySaveName
    = " names a lossy format (JPEG, HEIC or AVIF), which destroys what is hidden. Save the picture as PNG, BMP "
      "or WebP.";

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

} // namespace lumaquill::message
