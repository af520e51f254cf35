#include "stealth/StealthKeys.h"

#include "stealth/Keystream.h"

#include <gtest/gtest.h>
#include <sodium.h>
#include <string>

namespace lumaquill::stealth {
namespace {

std::string Hex(std::span<const uint8_t> bytes)
{
    std::string hex(2 * bytes.size() + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
    hex.pop_back();
    return hex;
}

SecretBytes CountingBytes(size_t size)
{
    SecretBytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes.data()[i] = uint8_t(i);
    return bytes;
}

// From Python's hashlib.blake2b over the master key 00 01 .. 1f
// (doc/stealth-format.md, test vectors).
TEST(StealthKeysTest, SubkeysOfAKnownMasterKey)
{
    const StealthKeys keys = StealthKeys::FromMaster(CountingBytes(32));
    EXPECT_EQ(Hex(keys.Order().Span()), "ba627db1da4d5f050bcc71be6e290717ebeb186561f054b4afafa766242c74d5");
    EXPECT_EQ(keys.LengthMask(), 0x5a24c8f0u);
    EXPECT_EQ(Hex(keys.Envelope().Span()), "2ebcce145e9fe2c48f39c01fbb71741e06e9851d971f3b6befd496d7781806e5");
    EXPECT_EQ(Hex(keys.Nonce().Span()), "6c6389dbee05417aef31770b43ce1b0c1c6e40614d7702eb");
    Keystream stream(keys.Order().Span());
    std::vector<uint8_t> first(16);
    for (uint8_t& byte : first)
        byte = stream.NextByte();
    EXPECT_EQ(Hex(first), "ccfeee8b73eb64c5f4c2335b49c49057");
}

TEST(StealthKeysTest, PublicKeysAreAsDocumented)
{
    EXPECT_EQ(Hex(StealthKeys::PublicKey("Lumaquill stealth public order")),
        "8cfa2452dc821ed1efe631f51709151115e46beb4cca77106c03e280a107d4ac");
    EXPECT_EQ(Hex(StealthKeys::PublicKey("Lumaquill stealth columns")),
        "7f8fc33a0bae0bd3c86024ac827cd75018fa19aea69428a3cc9b2b70790cd6d8");
}

// Argon2id through libsodium with the sealed images' parameters: the
// vector the document gives for independent readers.
TEST(StealthKeysTest, MasterKeyOfAKnownPasswordAndSalt)
{
    StealthKeys::Salt salt;
    for (size_t i = 0; i < salt.size(); ++i)
        salt[i] = uint8_t(i);
    const std::string password = "correct horse";
    const std::optional<StealthKeys> keys
        = StealthKeys::Derive(std::span(reinterpret_cast<const uint8_t*>(password.data()), password.size()), salt);
    ASSERT_TRUE(keys);
    const StealthKeys expected = StealthKeys::FromMaster(SecretBytes(std::span<const uint8_t>(
        std::vector<uint8_t> { 0xe3, 0xc8, 0x89, 0xca, 0x40, 0xed, 0x01, 0xe6, 0xb6, 0x77, 0x1f, 0xc8, 0xa5, 0xbf, 0x16,
            0xe3, 0x5a, 0xd6, 0x0b, 0x41, 0xc9, 0xbd, 0x5d, 0x7e, 0x6d, 0x63, 0xad, 0xf5, 0x1e, 0x50, 0xb0, 0xfd })));
    EXPECT_EQ(Hex(keys->Order().Span()), Hex(expected.Order().Span()));
}

} // namespace
} // namespace lumaquill::stealth
