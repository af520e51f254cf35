#pragma once

#include "flows/EncodeFlow.h"

#include <optional>

namespace lumaquill {

// The request as it is encoded when sealed, from a request with Seal set
// and the password in Password: Payload becomes the zlib stream of the
// envelope of the old payload under the password, Key the digests of the
// key text T', and Seal, Password and Questions are cleared. Costs two
// Argon2id. Nothing when sealing cannot be done (libsodium cannot run,
// memory is short). Precondition: no questions are set.
std::optional<EncodeRequest> SealRequest(const EncodeRequest& request);

} // namespace lumaquill
