#pragma once

#include <string>

namespace lumaquill {

// Input problems carry the stop icon; everything else the exclamation icon.
enum class MessageIcon { Stop, Exclamation };

// Shows a modal message with one OK button and returns when it is dismissed.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
};

} // namespace lumaquill
