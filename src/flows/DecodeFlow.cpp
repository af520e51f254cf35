#include "flows/DecodeFlow.h"

#include "engine/StegEngine.h"
#include "keys/QuestionSet.h"

namespace lumaquill {

bool ReadStoredQuestions(StegEngine& engine, QuestionSet& questions)
{
    engine.Keys.BorrowQuestions(questions);
    return engine.ReadHeader();
}

DecodeOutcome RunDecode(StegEngine& engine, const KeyDigests& key, std::string& holder)
{
    engine.Keys.PasswordDigest = key.Sha1;
    engine.Keys.PasswordMd5 = key.Md5;
    // The decode dialog derives the marker and then repeats its seeding and
    // draws once more; both leave the same values and generator state.
    engine.Keys.DeriveMarker();
    engine.Keys.DeriveMarker();
    holder.clear();
    return engine.Decode(holder);
}

} // namespace lumaquill
