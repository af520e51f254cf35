#include "flows/FlowHarness.h"

#include <filesystem>
#include <stdexcept>

namespace lumaquill::test {

QuestionSet MakeQuestions()
{
    QuestionSet set;
    set.ClearFlagsAndKeys();
    set.SetSlot(1, "Name of your first pet?", "Optional", "Rex");
    set.SetSlot(3, "Town you were born in?", "", "Bergen");
    set.Compact();
    set.BuildKeyText();
    return set;
}

void AnswerQuestions(QuestionSet& questions, const std::string& secondAnswer)
{
    questions.Answers[0] = "Rex";
    questions.Answers[1] = secondAnswer;
    questions.BuildKeyText();
}

FlowHarness::FlowHarness()
{
    Engine.SetFrontend(Front.Get());
    const std::string out = Scratch.Path() + "/out";
    std::filesystem::create_directories(out);
    Front.Save.Folder = out;
}

std::string FlowHarness::LoadBitmap(
    const std::string& name, int32_t width, int32_t height, uint16_t bits, uint32_t seed)
{
    const std::string path = Scratch.File("in/" + name);
    WriteBitmap(path, width, height, bits, seed);
    if (!Engine.LoadContainer(path))
        throw std::runtime_error("container not loaded: " + path);
    return path;
}

EncodeRequest FlowHarness::Request(std::vector<uint8_t> payload, const std::string& name, bool questions)
{
    EncodeRequest request;
    request.Payload = std::move(payload);
    request.Name = name;
    request.Speed = 0;
    if (questions) {
        Questions = std::make_unique<QuestionSet>(MakeQuestions());
        request.Questions = Questions.get();
        request.Key = KeyDigests::FromText(Questions->KeyText);
    } else {
        request.Key = KeyDigests::FromText(kPassword);
    }
    return request;
}

bool FlowHarness::Encode(const EncodeRequest& request)
{
    return RunEncode(Engine, request);
}

std::string FlowHarness::SaveEncoded(const std::string& name)
{
    const std::string path = Scratch.File(name);
    if (!Engine.SaveContainer(path, PictureFormat::Bmp))
        throw std::runtime_error("cannot save " + path);
    return path;
}

DecodeResult FlowHarness::DecodeFile(const std::string& path, const std::string& password, bool giveText) const
{
    FakeFrontend front;
    front.Save.Folder = Front.Save.Folder;
    StegEngine engine;
    engine.SetFrontend(front.Get());
    if (!engine.LoadContainer(path))
        throw std::runtime_error("cannot load " + path);
    return DecodeIn(engine, front, password, giveText);
}

DecodeResult FlowHarness::DecodeIn(StegEngine& engine, FakeFrontend& front, const std::string& password, bool giveText)
{
    DecodeResult result;
    front.Log.Events.clear();
    front.Save.Offered.clear();
    result.QuestionsStored = engine.ReadStoredQuestions(result.Questions);
    std::string keyText = password;
    if (result.QuestionsStored) {
        AnswerQuestions(result.Questions, password == kPassword ? "Bergen" : password);
        keyText = result.Questions.KeyText;
    }
    const SecretBytes text(keyText);
    const bool withText = giveText && !result.QuestionsStored;
    result.Outcome = RunDecode(engine, KeyDigests::FromText(keyText), result.Holder, withText ? &text : nullptr);
    result.Offered = front.Save.Offered;
    result.Messages = front.Log.Messages();
    result.Events = front.Log.Events;
    return result;
}

} // namespace lumaquill::test
