#pragma once

#include "core/BusyIndicator.h"

namespace lumaquill {

// The engine's busy cursor (see BusyCursor).
class QtBusyIndicator : public BusyIndicator {
public:
    void Begin() override;
    void End() override;
};

} // namespace lumaquill
