#pragma once

#include "core/Frontend.h"
#include "support/RecordingProgress.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumaquill::test {

// One ordered log of everything the core showed: messages, progress calls
// and save prompts, so tests can check what came before what.
struct FrontendLog {
    std::vector<std::string> Events;

    bool Contains(const std::string& event) const;
    // Index of the first event equal to event, or -1.
    long IndexOf(const std::string& event) const;
    std::vector<std::string> Messages() const;
};

class RecordingMessages : public MessageSink {
public:
    explicit RecordingMessages(FrontendLog& log)
        : Log(log)
    {
    }
    void ShowMessage(const std::string& text, MessageIcon icon) override
    {
        Log.Events.push_back(std::string(icon == MessageIcon::Stop ? "Stop: " : "Warn: ") + text);
    }

private:
    FrontendLog& Log;
};

class RecordingProgressFactory : public ProgressFactory {
public:
    explicit RecordingProgressFactory(FrontendLog& log)
        : Log(log)
    {
    }
    std::unique_ptr<ProgressSink> CreateProgress() override
    {
        ++Created;
        Log.Events.push_back("Created");
        return std::make_unique<test::RecordingProgress>(
            Log.Events, test::RecordingProgress::Steps::Counted, test::RecordingProgress::End::Logged);
    }

    int Created = 0;

private:
    FrontendLog& Log;
};

// Answers each save prompt with folder + offered name, or declines when no
// folder is set; remembers what was offered.
class ScriptedSavePrompt : public SavePrompt {
public:
    explicit ScriptedSavePrompt(FrontendLog& log)
        : Log(log)
    {
    }
    std::optional<std::string> AskSavePath(const std::string& offeredName) override
    {
        Offered.push_back(offeredName);
        Log.Events.push_back("Save prompt: " + offeredName);
        if (FixedTarget)
            return FixedTarget;
        if (!Folder)
            return std::nullopt;
        return *Folder + "/" + offeredName;
    }

    std::optional<std::string> Folder;
    std::optional<std::string> FixedTarget;
    std::vector<std::string> Offered;

private:
    FrontendLog& Log;
};

class CountingBusy : public BusyIndicator {
public:
    void Begin() override { ++Depth, ++Begins; }
    void End() override { --Depth; }

    int Depth = 0;
    int Begins = 0;
};

// Every service of a front end, recording into one log.
struct FakeFrontend {
    FrontendLog Log;
    RecordingMessages Messages { Log };
    RecordingProgressFactory Progress { Log };
    ScriptedSavePrompt Save { Log };
    CountingBusy Busy;

    Frontend Get() { return Frontend { &Messages, &Busy, &Progress, &Save }; }
};

} // namespace lumaquill::test
