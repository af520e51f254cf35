#include "engine/CappedInflate.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace lumaquill {
namespace {

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> out(compressBound(data.size()));
    uLongf size = out.size();
    EXPECT_EQ(compress(out.data(), &size, data.data(), data.size()), Z_OK);
    out.resize(size);
    return out;
}

// What the one-shot uncompress says of the same input and buffer size.
bool UncompressAccepts(const std::vector<uint8_t>& stream, uint64_t cap, std::vector<uint8_t>* result = nullptr)
{
    std::vector<uint8_t> out(cap + 1);
    uLongf size = cap;
    const bool ok = uncompress(out.data(), &size, stream.data(), stream.size()) == Z_OK;
    if (ok && result)
        *result = std::vector<uint8_t>(out.begin(), out.begin() + size);
    return ok;
}

TEST(CappedInflate, OutputOfExactlyTheCapIsAccepted)
{
    const std::vector<uint8_t> data = test::NoiseBytes(100000, 5);
    const std::vector<uint8_t> stream = Compressed(data);
    std::vector<uint8_t> out;
    ASSERT_EQ(InflateCapped(stream.data(), stream.size(), data.size(), out), InflateResult::Complete);
    EXPECT_EQ(out, data);
    EXPECT_EQ(InflateCapped(stream.data(), stream.size(), data.size() - 1, out), InflateResult::Failed);
    EXPECT_TRUE(UncompressAccepts(stream, data.size()));
    EXPECT_FALSE(UncompressAccepts(stream, data.size() - 1));
}

TEST(CappedInflate, TrailingBytesAfterTheStreamAreIgnored)
{
    const std::vector<uint8_t> data(5000, 'a');
    std::vector<uint8_t> stream = Compressed(data);
    stream.insert(stream.end(), { 1, 2, 3, 4, 5 });
    std::vector<uint8_t> out;
    ASSERT_EQ(InflateCapped(stream.data(), stream.size(), 100000, out), InflateResult::Complete);
    EXPECT_EQ(out, data);
}

TEST(CappedInflate, EmptyStreamGivesNoBytes)
{
    const std::vector<uint8_t> stream = Compressed({});
    std::vector<uint8_t> out { 1 };
    ASSERT_EQ(InflateCapped(stream.data(), stream.size(), 0, out), InflateResult::Complete);
    EXPECT_TRUE(out.empty());
}

// Every truncation and a spread of single-byte corruptions: the verdict and
// the bytes agree with uncompress.
TEST(CappedInflate, AgreesWithUncompressOnDamagedStreams)
{
    const std::vector<uint8_t> data = test::NoiseBytes(3000, 6, 250);
    const std::vector<uint8_t> stream = Compressed(data);
    const uint64_t cap = 20 * 1000;
    for (size_t length = 0; length < stream.size(); ++length) {
        const std::vector<uint8_t> cut(stream.begin(), stream.begin() + length);
        std::vector<uint8_t> out;
        EXPECT_EQ(
            InflateCapped(cut.data(), cut.size(), cap, out) == InflateResult::Complete, UncompressAccepts(cut, cap))
            << "truncated to " << length;
    }
    for (size_t at = 0; at < stream.size(); at += 7) {
        for (uint8_t flip : { 0x01, 0x80, 0xFF }) {
            std::vector<uint8_t> damaged = stream;
            damaged[at] ^= flip;
            std::vector<uint8_t> out;
            std::vector<uint8_t> expected;
            const bool accepted = UncompressAccepts(damaged, cap, &expected);
            EXPECT_EQ(InflateCapped(damaged.data(), damaged.size(), cap, out) == InflateResult::Complete, accepted)
                << "byte " << at << " ^ " << int(flip);
            if (accepted) {
                EXPECT_EQ(out, expected);
            }
        }
    }
}

TEST(CappedInflate, GarbageFailsWithoutGrowingTheOutputMuch)
{
    const std::vector<uint8_t> garbage = test::NoiseBytes(1 << 20, 7);
    std::vector<uint8_t> out;
    EXPECT_EQ(InflateCapped(garbage.data(), garbage.size(), uint64_t(20) << 20, out), InflateResult::Failed);
    EXPECT_LE(out.capacity(), size_t(1) << 20);
}

} // namespace
} // namespace lumaquill
