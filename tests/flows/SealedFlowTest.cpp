#include "core/MessageText.h"
#include "engine/CappedInflate.h"
#include "flows/FlowHarness.h"
#include "flows/Payload.h"
#include "flows/SealedRequest.h"
#include "seal/SealFormat.h"
#include "seal/SealedEnvelope.h"
#include "seal/SealedKey.h"

#include <gtest/gtest.h>
#include <string>

namespace lumaquill::test {
namespace {

enum class Container { Plain, Noise, Shrink };

struct SealedCase {
    const char* Name;
    bool File;
    uint16_t Bits;
    Container Kind;
};

// Text and file, both depths, noise (EmbedMode 4) and a shrunk container.
constexpr SealedCase kSealedCases[] = {
    { "Text24", false, 24, Container::Plain },
    { "File24", true, 24, Container::Plain },
    { "Text32", false, 32, Container::Plain },
    { "File32", true, 32, Container::Plain },
    { "TextNoise", false, 24, Container::Noise },
    { "FileNoise", true, 24, Container::Noise },
    { "TextShrink32", false, 32, Container::Shrink },
    { "FileShrink24", true, 24, Container::Shrink },
};

std::string CaseName(const testing::TestParamInfo<SealedCase>& info)
{
    return info.param.Name;
}

void PrintTo(const SealedCase& c, std::ostream* os)
{
    *os << c.Name;
}

EncodeRequest SealedRequestFor(FlowHarness& h, const std::vector<uint8_t>& content, const std::string& name)
{
    EncodeRequest request = h.Request(*CompressPayload(content.data(), content.size()), name, false);
    request.OriginalSize = content.size();
    request.Seal = true;
    request.Password = SecretBytes(std::string_view(kPassword));
    return request;
}

class SealedRoundTrip : public testing::TestWithParam<SealedCase> { };

TEST_P(SealedRoundTrip, OpensWithThePasswordAndNothingElse)
{
    const SealedCase& c = GetParam();
    FlowHarness h;
    const int32_t side = c.Kind == Container::Shrink ? 300 : 160;
    if (c.Kind != Container::Noise)
        h.LoadBitmap("holiday.bmp", side, side, c.Bits, 77);
    // Texts without zero bytes, so a cut at the first one would show.
    const std::vector<uint8_t> content = NoiseBytes(900, 78, c.File ? 0 : 1);
    std::string name;
    if (c.File) {
        name = h.Scratch.File("in/report.txt");
        WriteBytes(name, content);
    }
    EncodeRequest request = SealedRequestFor(h, content, name);
    request.Noise = c.Kind == Container::Noise;
    request.Shrink = c.Kind == Container::Shrink;
    ASSERT_TRUE(h.Encode(request)) << testing::PrintToString(h.Front.Log.Events);
    EXPECT_TRUE(h.Front.Log.Messages().empty());
    if (c.Kind == Container::Shrink) {
        EXPECT_LT(h.Engine.Width(), side);
    }
    const std::string image = h.SaveEncoded();

    const DecodeResult result = h.DecodeFile(image, kPassword, true);
    EXPECT_TRUE(result.Messages.empty()) << testing::PrintToString(result.Messages);
    if (c.File) {
        ASSERT_EQ(result.Outcome, FileWritten);
        EXPECT_EQ(ReadBytes(result.Holder), content);
    } else {
        ASSERT_EQ(result.Outcome, TextDecoded);
        EXPECT_EQ(result.Holder, std::string(content.begin(), content.end()));
    }
    const DecodeResult wrong = h.DecodeFile(image, "correct horse batterY", true);
    EXPECT_EQ(wrong.Outcome, NothingDecoded);
    EXPECT_TRUE(wrong.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(TextFileDepthsNoiseShrink, SealedRoundTrip, testing::ValuesIn(kSealedCases), CaseName);

// The envelope, as the decoder restores it from a sealed request's payload.
std::vector<uint8_t> Envelope(const EncodeRequest& sealed)
{
    std::vector<uint8_t> envelope;
    EXPECT_EQ(InflateCapped(sealed.Payload.data(), sealed.Payload.size(), 1 << 20, envelope), InflateResult::Complete);
    return envelope;
}

// One ciphertext byte flipped and written back through the engine, keyed as
// the sealed image is: the stored format carries it faithfully, and the
// envelope no longer authenticates. Unflipped, the same path decodes.
TEST(SealedFlow, AChangedCiphertextByteFailsAuthentication)
{
    FlowHarness h;
    const std::vector<uint8_t> content = NoiseBytes(300, 5, 1);
    const std::optional<EncodeRequest> sealed = SealRequest(SealedRequestFor(h, content, ""));
    ASSERT_TRUE(sealed);
    const std::vector<uint8_t> envelope = Envelope(*sealed);
    ASSERT_EQ(envelope.size(), sealed->OriginalSize);
    for (const bool flip : { false, true }) {
        h.LoadBitmap("c.bmp", 160, 160, 24, 9);
        std::vector<uint8_t> written = envelope;
        if (flip)
            written[seal::kHeaderBytes + 100] ^= 0x20;
        EncodeRequest rewritten = *sealed;
        rewritten.Payload = *CompressPayload(written.data(), written.size());
        ASSERT_TRUE(h.Encode(rewritten));
        const DecodeResult result = h.DecodeFile(h.SaveEncoded(), kPassword, true);
        EXPECT_EQ(result.Outcome, flip ? NothingDecoded : TextDecoded) << flip;
        EXPECT_TRUE(result.Messages.empty());
    }
}

// An envelope that authenticates but holds no zlib stream gives nothing,
// and leaves nothing of itself in the holder.
TEST(SealedFlow, AnOpenedEnvelopeWithADamagedStreamGivesNothing)
{
    FlowHarness h;
    const std::optional<EncodeRequest> sealed = SealRequest(SealedRequestFor(h, NoiseBytes(100, 6, 1), ""));
    ASSERT_TRUE(sealed);
    const std::vector<uint8_t> notAStream = NoiseBytes(200, 7, 1);
    const std::optional<std::vector<uint8_t>> envelope
        = SealedEnvelope::Seal(notAStream, SecretBytes(std::string_view(kPassword)).Span());
    ASSERT_TRUE(envelope);
    EncodeRequest rewritten = *sealed;
    rewritten.Payload = *CompressPayload(envelope->data(), envelope->size());
    h.LoadBitmap("c.bmp", 160, 160, 24, 9);
    ASSERT_TRUE(h.Encode(rewritten));
    const DecodeResult result = h.DecodeFile(h.SaveEncoded(), kPassword, true);
    EXPECT_EQ(result.Outcome, NothingDecoded);
    EXPECT_EQ(result.Holder, "");
}

// A sealed request: the payload is the envelope compressed, 64 bytes more
// than the content's stream before compression, and the stored format is
// keyed with T'.
TEST(SealedFlow, SealedRequestCarriesTheEnvelopeUnderTPrime)
{
    FlowHarness h;
    const std::vector<uint8_t> content(5000, 'a');
    const EncodeRequest request = SealedRequestFor(h, content, "");
    const std::optional<EncodeRequest> sealed = SealRequest(request);
    ASSERT_TRUE(sealed);
    EXPECT_FALSE(sealed->Seal);
    EXPECT_TRUE(sealed->Password.empty());
    EXPECT_EQ(Envelope(*sealed).size(), request.Payload.size() + seal::kOverheadBytes);
    // The content inflates to more than the envelope: both must fit the cap.
    EXPECT_EQ(sealed->OriginalSize, content.size());
    const auto storedKey = SealedKey::StoredKeyText(SecretBytes(std::string_view(kPassword)).Span());
    const KeyDigests expected = KeyDigests::FromText(storedKey->View());
    EXPECT_EQ(sealed->Key.Sha1, expected.Sha1);
    EXPECT_EQ(sealed->Key.Md5, expected.Md5);
}

// Digests alone never open a sealed image, not even T''s: the envelope
// needs the password itself. Such a caller is never made to wait for an
// Argon2id.
TEST(SealedFlow, DigestsAloneOpenNothing)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 160, 160, 24, 3);
    const std::optional<EncodeRequest> sealed = SealRequest(SealedRequestFor(h, NoiseBytes(100, 4, 1), ""));
    ASSERT_TRUE(sealed);
    ASSERT_TRUE(h.Encode(*sealed));
    const std::string image = h.SaveEncoded();
    EXPECT_EQ(h.DecodeFile(image, kPassword, false).Outcome, NothingDecoded);
    const auto storedKey = SealedKey::StoredKeyText(SecretBytes(std::string_view(kPassword)).Span());
    EXPECT_EQ(h.DecodeFile(image, std::string(storedKey->View()), false).Outcome, NothingDecoded);
    EXPECT_EQ(h.DecodeFile(image, kPassword, true).Outcome, TextDecoded);
}

// An unsealed image opens as before when the password is handed over too.
TEST(SealedFlow, UnsealedImagesDecodeWithThePasswordGiven)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 160, 160, 24, 3);
    ASSERT_TRUE(h.Encode(h.Request(*CompressPayload(std::string("plain")), "", false)));
    const DecodeResult result = h.DecodeFile(h.SaveEncoded(), kPassword, true);
    EXPECT_EQ(result.Outcome, TextDecoded);
    EXPECT_EQ(result.Holder, "plain");
}

TEST(SealedFlow, QuestionsAreNeverSealed)
{
    FlowHarness h;
    h.LoadBitmap("c.bmp", 160, 160, 24, 3);
    EncodeRequest request = h.Request(*CompressPayload(std::string("quiz")), "", true);
    request.Seal = true;
    request.Password = SecretBytes(std::string_view(h.Questions->KeyText));
    EXPECT_FALSE(h.Encode(request));
    EXPECT_EQ(h.Front.Log.Messages(), std::vector<std::string> { std::string("Warn: ") + message::kSealPasswordsOnly });
}

} // namespace
} // namespace lumaquill::test
