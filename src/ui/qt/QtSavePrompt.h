#pragma once

#include "core/SavePrompt.h"

namespace lumaquill {

class UiPrompts;

// Asks where a decoded file goes: a save prompt with the offered name (a
// bare UTF-8 file name, see SafeFileName) as initial file name, every file shown, no default extension, asking before
// an existing file is replaced.
class QtSavePrompt : public SavePrompt {
public:
    explicit QtSavePrompt(UiPrompts& prompts)
        : Prompts(prompts)
    {
    }
    std::optional<std::string> AskSavePath(const std::string& offeredName) override;

private:
    UiPrompts& Prompts;
};

} // namespace lumaquill
