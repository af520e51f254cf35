#include "seal/SealedKey.h"

#include <gtest/gtest.h>
#include <sodium.h>
#include <string>

namespace lumaquill {
namespace {

std::string ToHex(std::span<const uint8_t> bytes)
{
    std::string hex(bytes.size() * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
    hex.pop_back();
    return hex;
}

std::span<const uint8_t> Bytes(std::string_view text)
{
    return { reinterpret_cast<const uint8_t*>(text.data()), text.size() };
}

// S0 = SHA-256("Lumaquill sealed image key")[0..15], also given by Python's
// hashlib.
TEST(SealedKey, StoredKeySaltIsTheHeadOfTheTextsSha256)
{
    EXPECT_EQ(ToHex(SealedKey::StoredKeySalt()), "e540e505fbf6e8dbee81a543d2f72c7c");
}

// Known answer computed with libsodium and checked against the reference
// Argon2 implementation (Debian's argon2 tool):
//   echo -n 'correct horse' | argon2 "$S0" -id -t 3 -m 16 -p 1 -l 32 -r
// with S0=$'\xe5\x40\xe5\x05\xfb\xf6\xe8\xdb\xee\x81\xa5\x43\xd2\xf7\x2c\x7c' in bash: S0 holds
// no zero byte, so the tool takes all 16 raw bytes as its salt string.
TEST(SealedKey, StoredKeyTextOfCorrectHorse)
{
    const std::optional<SecretBytes> text = SealedKey::StoredKeyText(Bytes("correct horse"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->View(), "32bc619782d0438a6d2f07a80cccd8fa7089d947b702348e9ce258a5b215f8dc");
}

// Argon2id(T, salt 00..0f), the envelope key of the known-answer envelope
// (PyNaCl gives the same).
TEST(SealedKey, DeriveWithAGivenSalt)
{
    SealedKey::Salt salt;
    for (size_t i = 0; i < salt.size(); ++i)
        salt[i] = static_cast<uint8_t>(i);
    const std::optional<SecretBytes> key = SealedKey::Derive(Bytes("correct horse"), salt);
    ASSERT_TRUE(key);
    EXPECT_EQ(ToHex(key->Span()), "e3c889ca40ed01e6b6771fc8a5bf16e35ad60b41c9bd5d7e6d63adf51e50b0fd");
}

} // namespace
} // namespace lumaquill
