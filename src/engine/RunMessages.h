#pragma once

#include "core/Frontend.h"
#include "core/MessageText.h"

#include <string>

namespace lumaquill {

// Shows a message through the front end; nothing when it has no sink.
inline void ShowRunMessage(const Frontend& host, const std::string& text, MessageIcon icon = MessageIcon::Exclamation)
{
    if (host.Messages)
        host.Messages->ShowMessage(text, icon);
}

} // namespace lumaquill
