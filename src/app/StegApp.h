#pragma once

#include "engine/StegEngine.h"
#include "flows/StegFlows.h"
#include "ui/qt/QtFrontend.h"

#include <QString>

namespace lumaquill {

class UiPrompts;

// The application object: exists for the whole run and owns the one
// StegEngine, whose image and key state therefore outlive every encode and
// decode dialog. The engine's messages, busy cursor, progress window and
// save prompt are the Qt ones, going through the given prompts.
class StegApp {
public:
    explicit StegApp(UiPrompts& prompts);
    StegApp(const StegApp&) = delete;
    StegApp& operator=(const StegApp&) = delete;

    // Start-up: runs the main window modally and returns once it has
    // closed; the program then ends. The result is the program's exit code.
    // A picture given opens the decode dialog with it chosen, over the
    // main window.
    int Run(const QString& picture = QString());

    StegEngine& Engine() { return SteganographyEngine; }
    StegFlows& Flows() { return Door; }

private:
    UiPrompts& Prompts;
    QtFrontend Services;
    // Declared after Services: destroyed before the front end it points to.
    StegEngine SteganographyEngine;
    // The dialogs' way to the engine.
    StegFlows Door { SteganographyEngine };
};

} // namespace lumaquill
