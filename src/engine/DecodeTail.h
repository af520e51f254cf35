#pragma once

#include "engine/DecodeOutcome.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaquill {

class StegEngine;

// The last steps of a decode, once the payload and the stored name have been
// read: "Decompressing Data", restoring the zlib stream (at most outputCap
// bytes); a sealed envelope is opened with the key material's key text and
// its stream restored the same way; then text into holder, or the file
// offered under a safe name and written where the front end's save prompt
// says. The caller's progress is
// still up and is closed by the caller.
DecodeOutcome DeliverPayload(StegEngine& engine, const uint8_t* payload, size_t size, const std::string& storedName,
    uint64_t outputCap, std::string& holder);

// The same last steps for a payload whose envelope is already open (a
// stealth image's): the zlib stream restored within outputCap bytes, then
// text into holder or the file offered under a safe name. Its content is
// delivered as it stands, never taken for a sealed envelope.
DecodeOutcome DeliverOpenedPayload(StegEngine& engine, const uint8_t* stream, size_t size,
    const std::string& storedName, uint64_t outputCap, std::string& holder);

} // namespace lumaquill
