#include "flows/DecodeFlow.h"

#include "engine/StegEngine.h"
#include "flows/StealthFlow.h"
#include "keys/QuestionSet.h"
#include "seal/SealedKey.h"
#include "seal/SecretBytes.h"

#include <optional>

namespace lumaquill {

namespace {

// The key text is lent to the key material for one run only.
class KeyTextLoan {
public:
    KeyTextLoan(KeyMaterial& keys, const SecretBytes* text, bool sealedKey)
        : Keys(keys)
    {
        Keys.KeyText = text;
        Keys.SealedKey = sealedKey;
    }
    ~KeyTextLoan()
    {
        Keys.KeyText = nullptr;
        Keys.SealedKey = false;
    }
    KeyTextLoan(const KeyTextLoan&) = delete;
    KeyTextLoan& operator=(const KeyTextLoan&) = delete;

private:
    KeyMaterial& Keys;
};

DecodeOutcome DecodeWith(
    StegEngine& engine, const KeyDigests& key, std::string& holder, const SecretBytes* password, bool sealedKey)
{
    engine.Keys.PasswordDigest = key.Sha1;
    engine.Keys.PasswordMd5 = key.Md5;
    // The decode dialog derives the marker and then repeats its seeding and
    // draws once more; both leave the same values and generator state.
    engine.Keys.DeriveMarker();
    engine.Keys.DeriveMarker();
    holder.clear();
    const KeyTextLoan loan(engine.Keys, password, sealedKey);
    return engine.Decode(holder);
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
    return DecodeWith(engine, KeyDigests::FromText(sealedKey->View()), holder, &password, true);
}

} // namespace

bool ReadStoredQuestions(StegEngine& engine, QuestionSet& questions)
{
    engine.Keys.BorrowQuestions(questions);
    return engine.ReadHeader();
}

DecodeOutcome RunDecode(StegEngine& engine, const KeyDigests& key, std::string& holder, const SecretBytes* password)
{
    const DecodeOutcome outcome = DecodeWith(engine, key, holder, password, false);
    // A cancelled run tries nothing more.
    if (outcome != NothingDecoded || !password)
        return outcome;
    if (const DecodeOutcome sealed = DecodeSealed(engine, holder, *password); sealed != NothingDecoded)
        return sealed;
    return RunStealthDecode(engine, *password, holder);
}

} // namespace lumaquill
