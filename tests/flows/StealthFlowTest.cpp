#include "flows/StealthFlow.h"

#include "core/MessageText.h"
#include "engine/ContainerFormat.h"
#include "engine/StoredName.h"
#include "flows/FlowHarness.h"
#include "flows/Payload.h"
#include "flows/StealthMessages.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <zlib.h>

namespace lumaquill::test {
namespace {

constexpr const char* kWrongPassword = "correct horse batterY";

std::string Fixture(const std::string& name)
{
    return std::string(LUMAQUILL_FIXTURES) + "/" + name;
}

// The zlib stream of content in stored blocks: exactly 11 bytes longer
// (while content fits one block), so a payload can be sized to the byte.
std::vector<uint8_t> StoredStreamOf(const std::vector<uint8_t>& content)
{
    std::vector<uint8_t> out(content.size() + 64);
    uLongf produced = out.size();
    if (compress2(out.data(), &produced, content.data(), content.size(), 0) != Z_OK)
        throw std::runtime_error("no stored stream");
    out.resize(produced);
    return out;
}

constexpr size_t kStoredOverhead = 11;

EncodeRequest StealthRequest(FlowHarness& h, std::vector<uint8_t> stream, const std::string& name)
{
    EncodeRequest request = h.Request(std::move(stream), name, false);
    request.Stealth = true;
    request.Password = SecretBytes(std::string_view(kPassword));
    return request;
}

std::string Warning(const std::string& text)
{
    return "Warn: " + text;
}

// What a request of payloadBytes (stream and stored name) held: a text
// without zero bytes, or a file's bytes.
struct Hidden {
    std::vector<uint8_t> Content;
    EncodeRequest Request;
};

Hidden HiddenOf(FlowHarness& h, uint64_t payloadBytes, const std::string& name, uint32_t seed)
{
    const std::string stored = name.empty() ? std::string() : StoredNameField(name, container::kMaxNameBytes);
    if (payloadBytes < stored.size() + kStoredOverhead + 1)
        throw std::runtime_error("payload too small for the test");
    Hidden hidden;
    hidden.Content = NoiseBytes(payloadBytes - stored.size() - kStoredOverhead, seed, name.empty() ? 1 : 0);
    if (!name.empty())
        WriteBytes(name, hidden.Content);
    hidden.Request = StealthRequest(h, StoredStreamOf(hidden.Content), name);
    hidden.Request.OriginalSize = hidden.Content.size();
    return hidden;
}

void ExpectDecoded(const DecodeResult& result, const Hidden& hidden, const std::string& offered)
{
    EXPECT_TRUE(result.Messages.empty()) << testing::PrintToString(result.Messages);
    if (offered.empty()) {
        ASSERT_EQ(result.Outcome, TextDecoded);
        EXPECT_EQ(result.Holder, std::string(hidden.Content.begin(), hidden.Content.end()));
        return;
    }
    ASSERT_EQ(result.Outcome, FileWritten);
    EXPECT_EQ(result.Offered, std::vector<std::string> { offered });
    EXPECT_EQ(ReadBytes(result.Holder), hidden.Content);
}

enum class Fill { Safe, Largest };

struct RoundTripCase {
    const char* Name;
    uint16_t Bits;
    int32_t Width;
    int32_t Height;
    // The payload file's name; empty for a text.
    const char* File;
    const char* Offered;
    Fill Size;
};

// Texts and files, both depths, the smallest picture filled to its largest
// size, padded rows, and stored names under the usual rules.
constexpr RoundTripCase kRoundTrips[] = {
    { "Text24Smallest", 24, 64, 64, "", "", Fill::Largest },
    { "File24Padded", 24, 101, 67, "report.txt", "report.txt", Fill::Safe },
    { "Text32", 32, 150, 97, "", "", Fill::Safe },
    { "File32Largest", 32, 150, 97, "notes.pdf", "notes.pdf", Fill::Largest },
    { "Text24Wide", 24, 300, 200, "", "", Fill::Safe },
    { "HiddenNameShown", 24, 120, 80, ".profile", "_profile", Fill::Safe },
};

std::string CaseName(const testing::TestParamInfo<RoundTripCase>& info)
{
    return info.param.Name;
}

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.Name;
}

class StealthRoundTrip : public testing::TestWithParam<RoundTripCase> { };

TEST_P(StealthRoundTrip, OpensWithThePasswordAndNothingElse)
{
    const RoundTripCase& c = GetParam();
    FlowHarness h;
    h.LoadBitmap("photo.bmp", c.Width, c.Height, c.Bits, 41);
    const stealth::StealthSizes sizes = StealthSizesOf(h.Engine);
    const uint64_t target = c.Size == Fill::Safe ? sizes.Safe : sizes.Largest;
    const std::string name = *c.File ? h.Scratch.File(std::string("in/") + c.File) : std::string();
    const Hidden hidden = HiddenOf(h, target, name, 42);
    ASSERT_EQ(StealthPayloadBytes(hidden.Request), target);

    ASSERT_TRUE(h.Encode(hidden.Request)) << testing::PrintToString(h.Front.Log.Events);
    const std::vector<std::string> warned = c.Size == Fill::Safe
        ? std::vector<std::string> {}
        : std::vector<std::string> { Warning(StealthAboveSafe(target, sizes)) };
    EXPECT_EQ(h.Front.Log.Messages(), warned);
    const std::string image = h.SaveEncoded();

    ExpectDecoded(h.DecodeFile(image, kPassword, true), hidden, c.Offered);
}

INSTANTIATE_TEST_SUITE_P(TextFileDepthsSizes, StealthRoundTrip, testing::ValuesIn(kRoundTrips), CaseName);

// Every refusal comes before any work: one message, no progress, no
// Argon2id, the container's pixels as loaded.
struct RefusalCase {
    const char* Name;
    // Changes the harness (loads another cover) or the request.
    void (*Prepare)(FlowHarness& h, EncodeRequest& request);
    std::string (*Expected)(const FlowHarness& h, const EncodeRequest& request);
};

void LoadFixture(FlowHarness& h, const char* name)
{
    if (!h.Engine.LoadContainer(Fixture(name)))
        throw std::runtime_error(std::string("fixture not loaded: ") + name);
}

std::string Fixed(const char* text)
{
    return text;
}

std::string LossyCover(const char* format)
{
    return StealthMessages::LossyCover(format);
}

// A file of the largest size less its stored name would fit; with it, one
// byte too many.
void OneByteAboveLargest(FlowHarness& h, EncodeRequest& request)
{
    const std::string name = h.Scratch.File("in/a-long-file-name.tar");
    const Hidden hidden = HiddenOf(h, StealthSizesOf(h.Engine).Largest + 1, name, 7);
    request = hidden.Request;
}

// Every pixel's blue sample copied to its green and red.
void MakeGrey(FlowHarness& h, EncodeRequest&)
{
    for (int32_t y = 1; y <= h.Engine.Height(); ++y) {
        for (int32_t x = 0; x < h.Engine.Width(); ++x)
            h.Engine.SetPixel(x, y, (h.Engine.GetPixel(x, y) & 0xFF) * 0x010101);
    }
}

const RefusalCase kRefusals[] = {
    { "Questions",
        [](FlowHarness& h, EncodeRequest& r) {
            const SecretBytes password = r.Password;
            r = h.Request(r.Payload, "", true);
            r.Stealth = true;
            r.Password = password;
        },
        [](const FlowHarness&, const EncodeRequest&) { return Fixed(message::kStealthPasswordsOnly); } },
    { "NoPassword", [](FlowHarness&, EncodeRequest& r) { r.Password = SecretBytes(); },
        [](const FlowHarness&, const EncodeRequest&) { return Fixed(message::kStealthPasswordsOnly); } },
    { "Noise", [](FlowHarness&, EncodeRequest& r) { r.Noise = true; },
        [](const FlowHarness&, const EncodeRequest&) { return StealthMessages::NoNoise(); } },
    { "Shrink", [](FlowHarness&, EncodeRequest& r) { r.Shrink = true; },
        [](const FlowHarness&, const EncodeRequest&) { return Fixed(message::kStealthNoShrink); } },
    { "Jpeg", [](FlowHarness& h, EncodeRequest&) { LoadFixture(h, "cover.jpg"); },
        [](const FlowHarness&, const EncodeRequest&) { return LossyCover("JPEG"); } },
    { "LossyWebP", [](FlowHarness& h, EncodeRequest&) { LoadFixture(h, "lossy.webp"); },
        [](const FlowHarness&, const EncodeRequest&) { return LossyCover("WebP"); } },
    { "Heic", [](FlowHarness& h, EncodeRequest&) { LoadFixture(h, "cover.heic"); },
        [](const FlowHarness&, const EncodeRequest&) { return LossyCover("HEIC"); } },
    { "Avif", [](FlowHarness& h, EncodeRequest&) { LoadFixture(h, "cover.avif"); },
        [](const FlowHarness&, const EncodeRequest&) { return LossyCover("AVIF"); } },
    { "TooSmall", [](FlowHarness& h, EncodeRequest&) { h.LoadBitmap("tiny.bmp", 8, 8, 24, 3); },
        [](const FlowHarness&, const EncodeRequest&) { return Fixed(message::kStealthUnsuitable); } },
    { "GreyCover", MakeGrey,
        [](const FlowHarness&, const EncodeRequest&) { return Fixed(message::kStealthGreyCover); } },
    { "AboveLargestWithItsName", OneByteAboveLargest,
        [](const FlowHarness& h, const EncodeRequest& r) {
            return StealthTooLarge(StealthPayloadBytes(r), StealthSizesOf(h.Engine));
        } },
    { "NotDecodableAgain", [](FlowHarness&, EncodeRequest& r) { r.OriginalSize = uint64_t { 1 } << 40; },
        [](const FlowHarness& h, const EncodeRequest& r) {
            return TooLargeToDecode(r.OriginalSize, DecodableBytes(h.Engine.Capacity(container::kDecodeCapacityMode)));
        } },
};

std::string RefusalName(const testing::TestParamInfo<RefusalCase>& info)
{
    return info.param.Name;
}

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.Name;
}

class StealthRefusal : public testing::TestWithParam<RefusalCase> { };

TEST_P(StealthRefusal, SaysWhyAndChangesNothing)
{
    const RefusalCase& c = GetParam();
    FlowHarness h;
    h.LoadBitmap("photo.bmp", 160, 120, 24, 5);
    EncodeRequest request = StealthRequest(h, *CompressPayload(std::string("a few words")), "");
    c.Prepare(h, request);
    const std::vector<uint8_t> before = h.Engine.Pixels();
    const std::string expected = c.Expected(h, request);

    EXPECT_FALSE(h.Encode(request));
    EXPECT_EQ(h.Front.Log.Messages(), std::vector<std::string> { Warning(expected) });
    EXPECT_EQ(h.Front.Progress.Created, 0);
    EXPECT_TRUE(h.Engine.Pixels() == before);
}

INSTANTIATE_TEST_SUITE_P(EachReason, StealthRefusal, testing::ValuesIn(kRefusals), RefusalName);

TEST(StealthFlow, TooLargeStatesThePayloadAndBothSizes)
{
    const std::string text = StealthTooLarge(5001, { 625, 5000 });
    for (const char* figure : { "5001 bytes", "5000 bytes", "625 bytes" })
        EXPECT_NE(text.find(figure), std::string::npos) << figure << " in " << text;
}

// The safe size is allowed without a word and one byte more with the
// warning; both open.
TEST(StealthFlow, WarnsJustAboveTheSafeSize)
{
    for (const uint64_t extra : { 0, 1 }) {
        FlowHarness h;
        h.LoadBitmap("photo.bmp", 160, 120, 24, 8);
        const stealth::StealthSizes sizes = StealthSizesOf(h.Engine);
        const Hidden hidden = HiddenOf(h, sizes.Safe + extra, "", 9);
        ASSERT_TRUE(h.Encode(hidden.Request));
        const std::vector<std::string> warned = extra == 0
            ? std::vector<std::string> {}
            : std::vector<std::string> { Warning(StealthAboveSafe(sizes.Safe + 1, sizes)) };
        EXPECT_EQ(h.Front.Log.Messages(), warned);
        ExpectDecoded(h.DecodeFile(h.SaveEncoded(), kPassword, true), hidden, "");
    }
}

// A changed image says what a wrong password says: nothing at all, so the
// front end shows its usual message.
TEST(StealthFlow, AChangedImageOpensNothing)
{
    FlowHarness h;
    h.LoadBitmap("photo.bmp", 160, 120, 24, 11);
    ASSERT_TRUE(h.Encode(HiddenOf(h, StealthSizesOf(h.Engine).Safe, "", 12).Request));
    for (int32_t x = 0; x < h.Engine.Width(); ++x) {
        const uint32_t pixel = h.Engine.GetPixel(x, 60);
        h.Engine.SetPixel(x, 60, pixel ^ 0x000101);
    }
    const DecodeResult result = h.DecodeFile(h.SaveEncoded(), kPassword, true);
    EXPECT_EQ(result.Outcome, NothingDecoded);
    EXPECT_TRUE(result.Messages.empty());
}

// The digests alone never pay an Argon2id: no stealth attempt runs, and a
// classic image that opens runs nothing after its own decode. A wrong
// password runs all three and says nothing, so the front end shows its
// usual message.
TEST(StealthFlow, OnlyThePasswordTextTriesStealth)
{
    FlowHarness h;
    h.LoadBitmap("photo.bmp", 160, 120, 24, 13);
    ASSERT_TRUE(h.Encode(HiddenOf(h, 40, "", 14).Request));
    const std::string stealthImage = h.SaveEncoded("stealth.bmp");
    h.LoadBitmap("photo.bmp", 160, 120, 24, 13);
    ASSERT_TRUE(h.Encode(h.Request(*CompressPayload(std::string("classic")), "", false)));
    const std::string classicImage = h.SaveEncoded("classic.bmp");

    struct Attempt {
        std::string Image;
        const char* Password;
        bool GiveText;
        DecodeOutcome Outcome;
        int Runs;
    };
    for (const Attempt& a : { Attempt { stealthImage, kPassword, false, NothingDecoded, 1 },
             Attempt { classicImage, kPassword, true, TextDecoded, 1 },
             Attempt { stealthImage, kPassword, true, TextDecoded, 3 },
             Attempt { stealthImage, kWrongPassword, true, NothingDecoded, 3 } }) {
        FakeFrontend front;
        StegEngine engine;
        engine.SetFrontend(front.Get());
        ASSERT_TRUE(engine.LoadContainer(a.Image));
        const DecodeResult result = FlowHarness::DecodeIn(engine, front, a.Password, a.GiveText);
        const std::string label = a.Image + " " + a.Password + (a.GiveText ? " with text" : "");
        EXPECT_EQ(result.Outcome, a.Outcome) << label;
        EXPECT_TRUE(result.Messages.empty()) << label;
        // One progress per decode run: classic, sealed retry, stealth.
        EXPECT_EQ(front.Progress.Created, a.Runs) << label;
    }
}

// Stealth implies sealing: a request with Seal set as well is the same
// stealth image, never sealed twice.
TEST(StealthFlow, SealAsWellChangesNothing)
{
    FlowHarness h;
    h.LoadBitmap("photo.bmp", 160, 120, 24, 15);
    Hidden hidden = HiddenOf(h, 60, "", 16);
    hidden.Request.Seal = true;
    ASSERT_TRUE(h.Encode(hidden.Request));
    ExpectDecoded(h.DecodeFile(h.SaveEncoded(), kPassword, true), hidden, "");
}

} // namespace
} // namespace lumaquill::test
