#pragma once

#include "core/SavePrompt.h"

class QString;

namespace lumaquill {

class UiPrompts;

// Asks where a decoded file goes: a save prompt with the offered name as
// initial file name, every file shown, no default extension, asking before
// an existing file is replaced.
class QtSavePrompt : public SavePrompt {
public:
    explicit QtSavePrompt(UiPrompts& prompts)
        : Prompts(prompts)
    {
    }
    std::optional<std::string> AskSavePath(const std::string& offeredName) override;

    // A stored name's bytes as text: UTF-8 when they are valid UTF-8, else
    // one character per byte (Latin-1), so that no byte is lost.
    static QString NameFromBytes(const std::string& bytes);

private:
    UiPrompts& Prompts;
};

} // namespace lumaquill
