#pragma once

#include "core/BusyIndicator.h"
#include "core/MessageSink.h"
#include "core/ProgressFactory.h"
#include "core/SavePrompt.h"

namespace lumaquill {

// What the core asks of whichever front end drives it (the dialogs, the
// command-line tool, or a test). Any member may be null: a null member
// means that service is silently absent (no message shown, no progress,
// no busy cursor, a declined save prompt).
struct Frontend {
    MessageSink* Messages = nullptr;
    BusyIndicator* Busy = nullptr;
    ProgressFactory* Progress = nullptr;
    SavePrompt* Save = nullptr;
};

} // namespace lumaquill
