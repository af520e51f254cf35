#include "ui/EngineRunScope.h"

#include "engine/StegEngine.h"

namespace lumaquill {

EngineRunScope::EngineRunScope(StegEngine& engine, UiPrompts& prompts, QWidget* dialog)
    : Engine(engine)
    , Worker(dialog)
    , Services(prompts, dialog, &Worker.CancelFlag())
    , Previous(engine.GetFrontend())
{
    Engine.SetFrontend(Services.Services());
}

EngineRunScope::~EngineRunScope()
{
    Engine.SetFrontend(Previous);
    Engine.Keys.ClearQuestions();
}

} // namespace lumaquill
