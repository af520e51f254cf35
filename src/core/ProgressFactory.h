#pragma once

#include "core/ProgressSink.h"

#include <memory>

namespace lumaquill {

// Makes the progress display of one encode or decode run, hidden at first.
class ProgressFactory {
public:
    virtual ~ProgressFactory() = default;
    virtual std::unique_ptr<ProgressSink> CreateProgress() = 0;
};

} // namespace lumaquill
