#pragma once

#include "core/ProgressFactory.h"

namespace lumaquill {

// Makes a hidden ProgressDialog for each run.
class QtProgressFactory : public ProgressFactory {
public:
    std::unique_ptr<ProgressSink> CreateProgress() override;
};

} // namespace lumaquill
