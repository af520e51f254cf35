#pragma once

#include "flows/KeyDigests.h"
#include "seal/SecretBytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumaquill {

class QuestionSet;
class StegEngine;

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
    // The chosen container's file name without its extension; names the
    // temporary file of a rescaled container.
    std::string ImageTitle;
    KeyDigests Key;
    int32_t Speed = 0;
    // The password dialog's question set; its first used flag tells whether
    // questions are stored. Null for a plain password.
    QuestionSet* Questions = nullptr;
    // Seal the payload with Password, the key text as typed (see
    // SealRequest); Key is then replaced by the digests of T'. Sealing is
    // for passwords only: refused while questions are set.
    bool Seal = false;
    SecretBytes Password;
};

// The encode flow after the password step, in the dialog's order: key
// material reset and filled, DeriveMarker, questions handed over, noise
// container, shrink, Encode. The caller has checked that there is a
// payload and a usable container (or the noise box). A sealed request is
// sealed first, so the container is sized and checked for the sealed
// payload. Returns Encode's
// result; the caller then previews and saves with SaveContainer.
bool RunEncode(StegEngine& engine, const EncodeRequest& request);

} // namespace lumaquill
