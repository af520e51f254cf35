#pragma once

#include "flows/KeyDigests.h"
#include "image/PictureFormat.h"
#include "seal/SecretBytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumaquill {

class QuestionSet;
class StegEngine;

// Noise and rescaled containers are 24-bit pictures.
constexpr uint16_t kMadeContainerBits = 24;

// Everything the encode dialog (or lumaquill-cli) has gathered once the
// password step has ended with OK.
struct EncodeRequest {
    // The zlib stream of the file's bytes or of the typed text.
    std::vector<uint8_t> Payload;
    // The uncompressed size of what was compressed into Payload. For a
    // sealed request, the envelope's size, or the sealed content's when that
    // is larger: the decoder restores both within the same cap.
    uint64_t OriginalSize = 0;
    // The payload file's full path; empty for typed text.
    std::string Name;
    bool Noise = false;
    bool Shrink = false;
    // The format the container will be saved in, when it is known before
    // the run: a picture size it cannot hold is refused before any work.
    std::optional<PictureFormat> OutFormat;
    KeyDigests Key;
    int32_t Speed = 0;
    // The password dialog's question set; its first used flag tells whether
    // questions are stored. Null for a plain password.
    QuestionSet* Questions = nullptr;
    // Seal the payload with Password, the key text as typed (see
    // SealRequest); Key is then replaced by the digests of T'. Sealing is
    // for passwords only: refused while questions are set.
    bool Seal = false;
    // Hide the payload as a stealth image keyed by Password (see
    // RunStealthEncode): sealed by its nature, so passwords only, and
    // refused with Noise, Shrink, questions or a lossy cover. Seal is then
    // implied and not looked at; Key and Speed are not used.
    bool Stealth = false;
    SecretBytes Password;
};

// The encode flow after the password step, in the dialog's order: key
// material reset and filled, DeriveMarker, questions handed over, noise
// container, shrink, Encode. The caller has checked that there is a
// payload and a usable container (or the noise box). A sealed request is
// sealed first, so the container is sized and checked for the sealed
// payload. Noise and rescaled containers are made in memory; no file is
// written. A container that could not give OriginalSize bytes back is
// refused before Encode, with the message of TooLargeToDecode. Returns
// Encode's result; the caller then previews and saves with SaveContainer.
// A stealth request goes to RunStealthEncode instead.
bool RunEncode(StegEngine& engine, const EncodeRequest& request);

// An encode's refusal or warning, said through the engine's front end.
void ShowWarning(const StegEngine& engine, const std::string& text);

// The request in its sealed form (see SealRequest), for a request with Seal
// set: refused while questions are set, and said when sealing cannot be
// done. The one way an encode is sealed.
std::optional<EncodeRequest> SealForEncode(const StegEngine& engine, const EncodeRequest& request);

// n for the noise container of a payload: the usual noise side for its
// compressed size, raised until the (n + 2) x (n + 2) 24-bit picture has
// 20 x Capacity(5) >= originalSize. Arithmetic only: the picture itself is
// made once, since making it draws from the runtime generator.
int32_t NoiseSide(uint32_t payloadSize, uint64_t originalSize);

// The size "Shrink to fit" rescales a container of width x height, with
// pixelBytes of rows, to for a compressed payload of payloadSize bytes;
// false when the container is kept as it is: the target is not smaller,
// or the rescaled picture would pass the limits every reader shares.
bool ShrinkSize(
    int32_t width, int32_t height, uint32_t pixelBytes, uint32_t payloadSize, int32_t& newWidth, int32_t& newHeight);

// The most a decode of a container of that Capacity(5) restores.
uint64_t DecodableBytes(int32_t decodeCapacity);

// The refusal for a container that cannot give originalSize bytes back,
// stating both sizes.
std::string TooLargeToDecode(uint64_t originalSize, uint64_t decodableBytes);

// The largest compressed payload the loaded container takes, for every key
// and file name, when its mode is chosen (EmbedModes 0-3) and no questions
// are stored (a question header takes pixels from the same walk). 0 when it
// takes none.
uint32_t LargestPayload(const StegEngine& engine);

} // namespace lumaquill
