#pragma once

#include "core/MessageSink.h"

#include <iosfwd>

namespace lumaquill {

class TerminalLine;

// Shows the core's messages as lines on standard error, text unchanged.
class StderrMessageSink : public MessageSink {
public:
    // line, when not null, is the progress line to clear before a message.
    explicit StderrMessageSink(std::ostream& err, TerminalLine* line = nullptr);

    void ShowMessage(const std::string& text, MessageIcon icon) override;

private:
    std::ostream& Err;
    TerminalLine* Line;
};

} // namespace lumaquill
