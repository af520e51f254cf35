#pragma once

#include "engine/DecodeOutcome.h"
#include "flows/KeyDigests.h"

#include <string>

namespace lumaquill {

class QuestionSet;
class StegEngine;

// Decode, first step: lends the set to the key material and reads the
// question header, which needs no key. True when questions are stored; the
// set then holds them.
bool ReadStoredQuestions(StegEngine& engine, QuestionSet& questions);

// Decode, second step, right after ReadStoredQuestions on the same
// container: hands the key over and runs the decode, payload delivery
// included (text into holder, or a file through the front end's save
// prompt).
DecodeOutcome RunDecode(StegEngine& engine, const KeyDigests& key, std::string& holder);

} // namespace lumaquill
