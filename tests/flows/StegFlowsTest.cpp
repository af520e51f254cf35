#include "flows/StegFlows.h"

#include "core/MessageText.h"
#include "flows/FakeFrontend.h"
#include "flows/FlowHarness.h"
#include "flows/Payload.h"
#include "flows/StealthMessages.h"
#include "seal/SealFormat.h"
#include "support/JpegFixture.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace lumaquill::test {
namespace {

constexpr const char* kDoorPassword = "correct horse battery";

// One job at a time through the door, on a fake front end, in a scratch
// folder that is also TMPDIR.
struct Door {
    Door()
    {
        Flows.SetFrontend(Front.Get());
        std::filesystem::create_directories(Scratch.Path() + "/out");
        Front.Save.Folder = Scratch.Path() + "/out";
    }

    std::string Bitmap(const std::string& name, int32_t width, int32_t height)
    {
        const std::string path = Scratch.File("in/" + name);
        WriteBitmap(path, width, height, 24, 7);
        return path;
    }

    std::string Jpeg(const std::string& name, const JpegRecipe& recipe)
    {
        const std::string path = Scratch.File("in/" + name);
        WriteBytes(path, MakeJpeg(recipe));
        return path;
    }

    ScratchFolder Scratch;
    ScopedTmpDir Tmp { Scratch.Path() };
    FakeFrontend Front;
    StegFlows Flows;
};

KeyEntry PasswordKey(bool seal = false)
{
    KeyEntry key;
    key.Password = SecretBytes(std::string_view(kDoorPassword));
    key.Digests = KeyDigests::FromText(kDoorPassword);
    key.Seal = seal;
    return key;
}

EncodeRequest TextRequest(const std::string& text)
{
    EncodeRequest request;
    request.Payload = CompressPayload(text).value();
    request.OriginalSize = text.size();
    return request;
}

EncodeRequest FileRequest(const std::string& name, const std::vector<uint8_t>& bytes)
{
    EncodeRequest request;
    request.Payload = CompressPayload(bytes.data(), bytes.size()).value();
    request.OriginalSize = bytes.size();
    request.Name = name;
    return request;
}

// The saved picture opened by a door of its own, as another run would.
lumaquill::DecodeResult DecodeSaved(Door& from, const std::string& path, const KeyEntry& key)
{
    StegFlows flows;
    flows.SetFrontend(from.Front.Get());
    EXPECT_TRUE(flows.LoadCover(path));
    std::string detail;
    EXPECT_EQ(flows.CoverProblem(true, detail), LoadProblem::None);
    KeyEntry entry = key;
    EXPECT_FALSE(flows.ReadStoredQuestions(entry.Questions));
    return flows.Decode(entry);
}

using Kind = lumaquill::DecodeResult::Kind;

// Each way of keying an encode goes through the one door and opens again
// only with what made it.
struct KeyCase {
    const char* Name;
    bool Seal;
    bool Stealth;
};

class DoorKeys : public testing::TestWithParam<KeyCase> { };

TEST_P(DoorKeys, TextRoundTrip)
{
    Door door;
    ASSERT_TRUE(door.Flows.LoadCover(door.Bitmap("cover.bmp", 257, 131)));
    EncodeRequest request = TextRequest("hello through the door");
    request.Stealth = GetParam().Stealth;
    const EncodeResult encoded = door.Flows.Encode(request, PasswordKey(GetParam().Seal));
    ASSERT_TRUE(encoded.Encoded()) << testing::PrintToString(door.Front.Log.Events);
    EXPECT_FALSE(encoded.Format);
    const std::string path = door.Scratch.File("encoded.png");
    ASSERT_EQ(door.Flows.SaveEncoded(path, PictureFormat::Png), "");
    const lumaquill::DecodeResult result = DecodeSaved(door, path, PasswordKey());
    ASSERT_EQ(result.What, Kind::Text);
    EXPECT_EQ(result.Text, "hello through the door");
    // Without the typed password only a classic image opens.
    KeyEntry digestsOnly = PasswordKey();
    digestsOnly.Password = SecretBytes();
    const bool classic = !GetParam().Seal && !GetParam().Stealth;
    EXPECT_EQ(DecodeSaved(door, path, digestsOnly).What, classic ? Kind::Text : Kind::Nothing);
}

constexpr KeyCase kKeyCases[] = {
    { "Classic", false, false },
    { "Sealed", true, false },
    { "Stealth", false, true },
};

INSTANTIATE_TEST_SUITE_P(Keys, DoorKeys, testing::ValuesIn(kKeyCases),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.Name); });

TEST(StegFlows, DecodedFileIsWrittenWhereThePromptSays)
{
    Door door;
    ASSERT_TRUE(door.Flows.LoadCover(door.Bitmap("cover.bmp", 200, 150)));
    const std::vector<uint8_t> bytes = NoiseBytes(700, 3);
    ASSERT_TRUE(door.Flows.Encode(FileRequest("/home/u/notes.txt", bytes), PasswordKey()).Encoded());
    const std::string path = door.Scratch.File("encoded.bmp");
    ASSERT_EQ(door.Flows.SaveEncoded(path, PictureFormat::Bmp), "");
    const lumaquill::DecodeResult result = DecodeSaved(door, path, PasswordKey());
    ASSERT_EQ(result.What, Kind::FileWritten);
    EXPECT_EQ(result.Path, door.Scratch.Path() + "/out/notes.txt");
    EXPECT_EQ(ReadBytes(result.Path), bytes);
}

// Encodes a file into a saved picture and loads it for decoding.
std::string SavedFileImage(Door& door, const std::vector<uint8_t>& bytes)
{
    EXPECT_TRUE(door.Flows.LoadCover(door.Bitmap("cover.bmp", 200, 150)));
    EXPECT_TRUE(door.Flows.Encode(FileRequest("notes.txt", bytes), PasswordKey()).Encoded());
    const std::string path = door.Scratch.File("encoded.bmp");
    EXPECT_EQ(door.Flows.SaveEncoded(path, PictureFormat::Bmp), "");
    EXPECT_TRUE(door.Flows.LoadCover(path));
    return path;
}

lumaquill::DecodeResult DecodeLoaded(Door& door)
{
    KeyEntry key = PasswordKey();
    door.Flows.ReadStoredQuestions(key.Questions);
    return door.Flows.Decode(key);
}

TEST(StegFlows, DeclinedSaveIsSaidAsSuch)
{
    Door door;
    SavedFileImage(door, NoiseBytes(300, 2));
    door.Front.Save.Folder.reset();
    const lumaquill::DecodeResult result = DecodeLoaded(door);
    EXPECT_EQ(result.What, Kind::SaveDeclined);
    EXPECT_EQ(door.Front.Save.Offered.back(), "notes.txt");
    EXPECT_EQ(door.Front.Log.Messages(), std::vector<std::string> {});
}

// A failed write says why, keeps the decoded file, and the prompt can be
// asked again: the next target takes it whole.
TEST(StegFlows, FailedWriteCanBeSavedAgain)
{
    Door door;
    const std::vector<uint8_t> bytes = NoiseBytes(900, 4);
    SavedFileImage(door, bytes);
    const std::string blocked = door.Scratch.File("blocked/notes.txt");
    std::filesystem::create_directories(blocked + "/inside");
    door.Front.Save.FixedTarget = blocked;
    door.Front.Log.Events.clear();
    const lumaquill::DecodeResult failed = DecodeLoaded(door);
    ASSERT_EQ(failed.What, Kind::WriteFailed);
    EXPECT_EQ(failed.Path, blocked);
    EXPECT_EQ(failed.Reason, message::kNotARegularFile);
    EXPECT_EQ(door.Front.Log.Messages(),
        std::vector<std::string> { "Stop: Could not write " + blocked + ": " + message::kNotARegularFile + "." });
    const std::string good = door.Scratch.File("out/again.txt");
    door.Front.Save.FixedTarget = good;
    const lumaquill::DecodeResult again = door.Flows.SaveDecodedAgain();
    ASSERT_EQ(again.What, Kind::FileWritten);
    EXPECT_EQ(again.Path, good);
    EXPECT_EQ(ReadBytes(good), bytes);
    // Once written, nothing is held any more.
    EXPECT_EQ(door.Flows.SaveDecodedAgain().What, Kind::SaveDeclined);
}

class FailingStreamPrompt : public SavePrompt {
public:
    FailingStreamPrompt() { Out.setstate(std::ios::badbit); }
    std::optional<std::string> AskSavePath(const std::string&) override { return std::nullopt; }
    std::ostream* SaveStream() override { return &Out; }
    std::ostringstream Out;
};

TEST(StegFlows, FailedStreamIsAFailedWrite)
{
    Door door;
    SavedFileImage(door, NoiseBytes(300, 5));
    FailingStreamPrompt prompt;
    Frontend front = door.Front.Get();
    front.Save = &prompt;
    door.Flows.SetFrontend(front);
    door.Front.Log.Events.clear();
    const lumaquill::DecodeResult result = DecodeLoaded(door);
    EXPECT_EQ(result.What, Kind::WriteFailed);
    EXPECT_EQ(result.Path, "");
    EXPECT_EQ(
        door.Front.Log.Messages(), std::vector<std::string> { std::string("Stop: ") + message::kCouldNotWriteStream });
}

TEST(StegFlows, WrongPasswordFindsNothing)
{
    Door door;
    SavedFileImage(door, NoiseBytes(300, 6));
    KeyEntry key = PasswordKey();
    key.Digests = KeyDigests::FromText("wrong horse");
    key.Password = SecretBytes(std::string_view("wrong horse"));
    door.Flows.ReadStoredQuestions(key.Questions);
    const lumaquill::DecodeResult result = door.Flows.Decode(key);
    EXPECT_EQ(result.What, Kind::Nothing);
    EXPECT_FALSE(result.FromJpeg);
}

// A JPEG cover with stealth on gives a JPEG, whatever the front end: the
// dialogs, which choose the format after the run, and the CLI's .jpg name.
struct JpegCase {
    const char* Name;
    std::optional<PictureFormat> Out;
};

class DoorStealthJpeg : public testing::TestWithParam<JpegCase> { };

TEST_P(DoorStealthJpeg, JpegCoverStaysAJpeg)
{
    Door door;
    JpegRecipe recipe;
    recipe.Width = 320;
    recipe.Height = 240;
    ASSERT_TRUE(door.Flows.LoadCover(door.Jpeg("photo.jpg", recipe)));
    EXPECT_TRUE(door.Flows.CoverIsJpeg());
    EncodeRequest request = TextRequest("a photo that stays a photo");
    request.Stealth = true;
    request.OutFormat = GetParam().Out;
    EXPECT_TRUE(door.Flows.StealthMakesJpeg(request));
    EXPECT_GT(door.Flows.StealthSizes(request).Largest, 0u);
    EXPECT_EQ(door.Flows.StealthCoverRefusal(request), "");
    const EncodeResult encoded = door.Flows.Encode(request, PasswordKey());
    ASSERT_TRUE(encoded.Encoded()) << testing::PrintToString(door.Front.Log.Events);
    EXPECT_EQ(encoded.Format, PictureFormat::Jpeg);
    const std::string path = door.Scratch.File("card.jpg");
    ASSERT_EQ(door.Flows.SaveEncoded(path, PictureFormat::Jpeg), "");
    EXPECT_EQ(*door.Flows.EncodedFile(PictureFormat::Png), ReadBytes(path));
    const lumaquill::DecodeResult result = DecodeSaved(door, path, PasswordKey());
    ASSERT_EQ(result.What, Kind::Text);
    EXPECT_EQ(result.Text, "a photo that stays a photo");
    EXPECT_TRUE(result.FromJpeg);
    KeyEntry wrong = PasswordKey();
    wrong.Password = SecretBytes(std::string_view("wrong horse"));
    const lumaquill::DecodeResult nothing = DecodeSaved(door, path, wrong);
    EXPECT_EQ(nothing.What, Kind::Nothing);
    EXPECT_TRUE(nothing.FromJpeg);
}

constexpr JpegCase kJpegCases[] = {
    { "FormatChosenLater", std::nullopt },
    { "JpegOutput", PictureFormat::Jpeg },
};

INSTANTIATE_TEST_SUITE_P(Outputs, DoorStealthJpeg, testing::ValuesIn(kJpegCases),
    [](const testing::TestParamInfo<JpegCase>& info) { return std::string(info.param.Name); });

TEST(StegFlows, JpegCoverSavedLosslessIsRefusedAsLossy)
{
    Door door;
    JpegRecipe recipe;
    recipe.Width = 160;
    recipe.Height = 120;
    ASSERT_TRUE(door.Flows.LoadCover(door.Jpeg("photo.jpg", recipe)));
    EncodeRequest request = TextRequest("text");
    request.Stealth = true;
    request.OutFormat = PictureFormat::Png;
    EXPECT_FALSE(door.Flows.StealthMakesJpeg(request));
    EXPECT_FALSE(door.Flows.Encode(request, PasswordKey()).Encoded());
    const std::vector<std::string> messages = door.Front.Log.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(std::string("Warn: ") + message::kStealthLossyCover, 0), 0u) << messages[0];
}

// A stealth JPEG keeps the cover's coefficients: a request that asks for
// noise or a rescaled cover is refused, not quietly embedded at full size.
TEST(StegFlows, StealthJpegRefusesNoiseAndShrink)
{
    const std::pair<bool, std::string> cases[] = {
        { true, StealthMessages::NoNoise() },
        { false, message::kStealthNoShrink },
    };
    for (const auto& [noise, refusal] : cases) {
        Door door;
        JpegRecipe recipe;
        recipe.Width = 320;
        recipe.Height = 240;
        ASSERT_TRUE(door.Flows.LoadCover(door.Jpeg("photo.jpg", recipe)));
        EncodeRequest request = TextRequest("text");
        request.Stealth = true;
        request.OutFormat = PictureFormat::Jpeg;
        request.Noise = noise;
        request.Shrink = !noise;
        EXPECT_FALSE(door.Flows.Encode(request, PasswordKey()).Encoded());
        const std::vector<std::string> messages = door.Front.Log.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(refusal), std::string::npos) << messages[0];
    }
}

TEST(StegFlows, JpegOutputNeedsAJpegCover)
{
    Door door;
    ASSERT_TRUE(door.Flows.LoadCover(door.Bitmap("cover.bmp", 200, 150)));
    EncodeRequest request = TextRequest("text");
    request.Stealth = true;
    request.OutFormat = PictureFormat::Jpeg;
    EXPECT_EQ(door.Flows.Encode(request, PasswordKey()).What, EncodeResult::Kind::Failed);
    EXPECT_EQ(door.Front.Log.Messages(), std::vector<std::string> { "Stop: " + StealthMessages::JpegNeedsJpegCover() });
}

TEST(StegFlows, JpegIsOpenedForDecodingAndStoresNoQuestions)
{
    Door door;
    ASSERT_TRUE(door.Flows.LoadCover(door.Jpeg("photo.jpg", JpegRecipe {})));
    std::string detail;
    EXPECT_EQ(door.Flows.CoverProblem(true, detail), LoadProblem::None);
    QuestionSet questions;
    EXPECT_FALSE(door.Flows.ReadStoredQuestions(questions));
}

// Classic payloads that begin with the sealed envelope's tag, as any file
// may. The image holds them as they were given, and a decode with the key
// that made it gives them back whole.
struct LookalikeCase {
    const char* Name;
    bool File;
    bool Questions;
    // Bytes after the tag: fewer than an envelope has, or as many as a
    // sealed content's.
    size_t Tail;
};

constexpr LookalikeCase kLookalikeCases[] = {
    { "ShortFile", true, false, 10 },
    { "EnvelopeSizedFile", true, false, 400 },
    { "Text", false, false, 400 },
    { "FileWithQuestions", true, true, 400 },
};

KeyEntry QuestionsKey()
{
    KeyEntry key;
    key.Questions = MakeQuestions();
    key.Digests = KeyDigests::FromText(key.Questions.KeyText);
    return key;
}

void PrintTo(const LookalikeCase& c, std::ostream* os)
{
    *os << c.Name;
}

class DoorLookalikes : public testing::TestWithParam<LookalikeCase> { };

TEST_P(DoorLookalikes, ClassicPayloadIsDeliveredAsStored)
{
    const LookalikeCase& c = GetParam();
    std::vector<uint8_t> content(seal::kTag.begin(), seal::kTag.end());
    const std::vector<uint8_t> tail = NoiseBytes(c.Tail, 11, c.File ? 0 : 1);
    content.insert(content.end(), tail.begin(), tail.end());
    Door door;
    ASSERT_TRUE(door.Flows.LoadCover(door.Bitmap("cover.bmp", 200, 150)));
    EncodeRequest request
        = c.File ? FileRequest("notes.bin", content) : TextRequest(std::string(content.begin(), content.end()));
    ASSERT_TRUE(door.Flows.Encode(request, c.Questions ? QuestionsKey() : PasswordKey()).Encoded());
    const std::string path = door.Scratch.File("encoded.bmp");
    ASSERT_EQ(door.Flows.SaveEncoded(path, PictureFormat::Bmp), "");
    ASSERT_TRUE(door.Flows.LoadCover(path));
    door.Front.Log.Events.clear();

    KeyEntry key = c.Questions ? KeyEntry() : PasswordKey();
    EXPECT_EQ(door.Flows.ReadStoredQuestions(key.Questions), c.Questions);
    if (c.Questions) {
        AnswerQuestions(key.Questions, "Bergen");
        key.Digests = KeyDigests::FromText(key.Questions.KeyText);
    }
    const lumaquill::DecodeResult result = door.Flows.Decode(key);
    EXPECT_EQ(door.Front.Log.Messages(), std::vector<std::string> {});
    if (c.File) {
        ASSERT_EQ(result.What, Kind::FileWritten);
        EXPECT_EQ(ReadBytes(result.Path), content);
    } else {
        ASSERT_EQ(result.What, Kind::Text);
        EXPECT_EQ(result.Text, std::string(content.begin(), content.end()));
    }
}

INSTANTIATE_TEST_SUITE_P(Payloads, DoorLookalikes, testing::ValuesIn(kLookalikeCases),
    [](const testing::TestParamInfo<LookalikeCase>& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lumaquill::test
