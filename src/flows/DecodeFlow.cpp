#include "flows/DecodeFlow.h"

#include "engine/StegEngine.h"
#include "flows/StealthFlow.h"
#include "seal/SealedKey.h"
#include "seal/SecretBytes.h"

#include <optional>

namespace lumaquill {

namespace {

StegEngine::DecodeKey KeyOf(const KeyDigests& digests, const SecretBytes* text, bool sealedKey)
{
    return StegEngine::DecodeKey { digests.Sha1, digests.Md5, text, sealedKey };
}

// A sealed image is keyed with T', never with the password itself. Sealing
// is for passwords only, so an image with questions is not tried again. A
// new attempt starts with the header read, as every decode does.
DecodeOutcome DecodeSealed(StegEngine& engine, std::string& holder, const SecretBytes& password)
{
    if (engine.Keys.QuizlockPresent != 0)
        return NothingDecoded;
    std::optional<SecretBytes> sealedKey;
    {
        BusyScope busy(engine.GetFrontend().Busy);
        sealedKey = SealedKey::StoredKeyText(password.Span());
    }
    if (!sealedKey)
        return NothingDecoded;
    engine.ReadHeader();
    return engine.DecodeWith(KeyOf(KeyDigests::FromText(sealedKey->View()), &password, true), holder);
}

} // namespace

DecodeOutcome RunDecode(StegEngine& engine, const KeyDigests& key, std::string& holder, const SecretBytes* password)
{
    const DecodeOutcome outcome = engine.DecodeWith(KeyOf(key, password, false), holder);
    // A cancelled run tries nothing more.
    if (outcome != NothingDecoded || !password)
        return outcome;
    if (const DecodeOutcome sealed = DecodeSealed(engine, holder, *password); sealed != NothingDecoded)
        return sealed;
    return RunStealthDecode(engine, *password, holder);
}

} // namespace lumaquill
