#pragma once

#include "keys/Digests.h"

#include <string_view>

namespace lumaquill {

// The two digests of a key text (a password, or the joined Quizlock
// answers): what the password step hands to the key material.
struct KeyDigests {
    Sha1Bytes Sha1 = {};
    Md5Bytes Md5 = {};

    static KeyDigests FromText(std::string_view keyText);
};

} // namespace lumaquill
