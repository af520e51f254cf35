#include "seal/SealedEnvelope.h"

#include <gtest/gtest.h>
#include <sodium.h>
#include <string>
#include <vector>

namespace lumaquill {
namespace {

constexpr std::string_view kKeyText = "correct horse";

std::span<const uint8_t> Bytes(std::string_view text)
{
    return { reinterpret_cast<const uint8_t*>(text.data()), text.size() };
}

std::vector<uint8_t> FromHex(std::string_view hex)
{
    std::vector<uint8_t> bytes(hex.size() / 2);
    size_t length = 0;
    sodium_hex2bin(bytes.data(), bytes.size(), hex.data(), hex.size(), nullptr, &length, nullptr);
    bytes.resize(length);
    return bytes;
}

std::string Text(const SecretBytes& bytes)
{
    return std::string(bytes.View());
}

SealedEnvelope::Salt CountingSalt()
{
    SealedEnvelope::Salt salt;
    for (size_t i = 0; i < salt.size(); ++i)
        salt[i] = static_cast<uint8_t>(i);
    return salt;
}

SealedEnvelope::Nonce CountingNonce()
{
    SealedEnvelope::Nonce nonce;
    for (size_t i = 0; i < nonce.size(); ++i)
        nonce[i] = static_cast<uint8_t>(16 + i);
    return nonce;
}

// "abc" sealed under "correct horse" with salt 00..0f and nonce 10..27, as
// PyNaCl's argon2id.kdf and crypto_aead_xchacha20poly1305_ietf_encrypt
// make it: tag, salt, nonce, 3 bytes of ciphertext, 16 bytes of MAC.
constexpr std::string_view kKnownEnvelope = "4c515345414c3031"
                                            "000102030405060708090a0b0c0d0e0f"
                                            "101112131415161718191a1b1c1d1e1f2021222324252627"
                                            "eed7fa"
                                            "eed4ac444eaf89221b8b534e75f98f2c";

TEST(SealedEnvelope, KnownAnswerWithAGivenSaltAndNonce)
{
    const auto envelope = SealedEnvelope::SealWith(Bytes("abc"), Bytes(kKeyText), CountingSalt(), CountingNonce());
    ASSERT_TRUE(envelope);
    EXPECT_EQ(*envelope, FromHex(kKnownEnvelope));
    const auto opened = SealedEnvelope::Open(FromHex(kKnownEnvelope), Bytes(kKeyText));
    ASSERT_TRUE(opened);
    EXPECT_EQ(Text(*opened), "abc");
}

// Fresh salt and nonce each time; the envelope adds exactly 64 bytes.
TEST(SealedEnvelope, RoundTripsAndNeverRepeats)
{
    for (const std::string_view plaintext : { std::string_view(), std::string_view("x\0y", 3) }) {
        const auto one = SealedEnvelope::Seal(Bytes(plaintext), Bytes(kKeyText));
        const auto two = SealedEnvelope::Seal(Bytes(plaintext), Bytes(kKeyText));
        ASSERT_TRUE(one && two);
        EXPECT_EQ(one->size(), plaintext.size() + seal::kOverheadBytes);
        EXPECT_NE(*one, *two);
        EXPECT_TRUE(SealedEnvelope::IsEnvelope(*one));
        const auto opened = SealedEnvelope::Open(*one, Bytes(kKeyText));
        ASSERT_TRUE(opened);
        EXPECT_EQ(Text(*opened), plaintext);
    }
}

// Every part of the envelope is bound: a changed byte anywhere, a wrong key,
// or a cut fails to open.
TEST(SealedEnvelope, ChangedCutOrWronglyKeyedEnvelopesDoNotOpen)
{
    const std::vector<uint8_t> known = FromHex(kKnownEnvelope);
    ASSERT_TRUE(SealedEnvelope::Open(known, Bytes(kKeyText)));
    EXPECT_FALSE(SealedEnvelope::Open(known, Bytes("correct horsE")));
    EXPECT_FALSE(SealedEnvelope::Open(known, Bytes("")));
    struct Flip {
        const char* Part;
        size_t Offset;
    };
    for (const Flip flip : { Flip { "tag", 3 }, Flip { "salt", 9 }, Flip { "nonce", 30 }, Flip { "ciphertext", 49 },
             Flip { "mac", 60 } }) {
        std::vector<uint8_t> changed = known;
        changed[flip.Offset] ^= 0x01;
        EXPECT_FALSE(SealedEnvelope::Open(changed, Bytes(kKeyText))) << flip.Part;
    }
    for (const size_t cut : { size_t { 0 }, size_t { 8 }, seal::kOverheadBytes - 1, known.size() - 1 }) {
        const std::vector<uint8_t> shorter(known.begin(), known.begin() + static_cast<ptrdiff_t>(cut));
        EXPECT_FALSE(SealedEnvelope::Open(shorter, Bytes(kKeyText))) << cut;
    }
}

TEST(SealedEnvelope, OnlyTheTagMakesAnEnvelope)
{
    EXPECT_TRUE(SealedEnvelope::IsEnvelope(Bytes("LQSEAL01")));
    EXPECT_TRUE(SealedEnvelope::IsEnvelope(Bytes("LQSEAL01 and more")));
    EXPECT_FALSE(SealedEnvelope::IsEnvelope(Bytes("LQSEAL0")));
    EXPECT_FALSE(SealedEnvelope::IsEnvelope(Bytes("LQSEAL02")));
    EXPECT_FALSE(SealedEnvelope::IsEnvelope(Bytes("lqseal01")));
}

TEST(SecretBytes, CopiesAreIndependentAndClearEmpties)
{
    SecretBytes one("secret");
    SecretBytes two = one;
    two.data()[0] = 'S';
    EXPECT_EQ(one.View(), "secret");
    EXPECT_EQ(two.View(), "Secret");
    SecretBytes moved = std::move(two);
    EXPECT_TRUE(two.empty());
    EXPECT_EQ(moved.View(), "Secret");
    moved.Clear();
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(moved.View(), "");
}

} // namespace
} // namespace lumaquill
