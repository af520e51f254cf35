#pragma once

#include "core/ProgressFactory.h"

namespace lumaquill {

class TerminalLine;

// Makes TerminalProgress displays that share the terminal's status line.
class TerminalProgressFactory : public ProgressFactory {
public:
    explicit TerminalProgressFactory(TerminalLine& line);
    std::unique_ptr<ProgressSink> CreateProgress() override;

private:
    TerminalLine& Line;
};

} // namespace lumaquill
