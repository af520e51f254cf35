#include "ui/qt/EngineRunScope.h"

#include "flows/StegFlows.h"

namespace lumaquill {

EngineRunScope::EngineRunScope(StegFlows& flows, UiPrompts& prompts, QWidget* dialog)
    : Flows(flows)
    , Worker(dialog)
    , Services(prompts, dialog, &Worker.CancelFlag())
    , Previous(flows.GetFrontend())
{
    Flows.SetFrontend(Services.Services());
}

EngineRunScope::~EngineRunScope()
{
    Flows.SetFrontend(Previous);
}

} // namespace lumaquill
