#pragma once

#include "core/MessageSink.h"

namespace lumaquill {

class UiPrompts;

// The engine's messages as message boxes, through UiPrompts.
class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(UiPrompts& prompts)
        : Prompts(prompts)
    {
    }
    void ShowMessage(const std::string& text, MessageIcon icon) override;

    // How many stop messages (input or write problems) have been shown.
    int StopsShown() const { return Stops; }

private:
    UiPrompts& Prompts;
    int Stops = 0;
};

} // namespace lumaquill
