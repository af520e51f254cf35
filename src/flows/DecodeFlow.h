#pragma once

#include "engine/DecodeOutcome.h"
#include "flows/KeyDigests.h"

#include <string>

namespace lumaquill {

class SecretBytes;
class StegEngine;

// Decode, second step, right after StegEngine::ReadStoredQuestions on the
// same container: hands the key over and runs the decode, payload delivery
// included (text into holder, or a file through the front end's save
// prompt).
//
// password is the typed password the digests were made from, or null when
// only the digests are known (then no sealed image opens, and no Argon2id
// is ever run). With it, an image without questions that yields nothing is
// tried once more keyed with the sealed-image key text T', which costs one
// Argon2id (about half a second) per failed open; a sealed envelope found
// in the payload is opened with the password. When that opens nothing
// either, the image is tried as a stealth image (RunStealthDecode), which
// costs one more Argon2id. Without the password text neither retry runs.
DecodeOutcome RunDecode(
    StegEngine& engine, const KeyDigests& key, std::string& holder, const SecretBytes* password = nullptr);

} // namespace lumaquill
