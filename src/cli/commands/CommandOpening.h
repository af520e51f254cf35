#pragma once

#include "cli/options/UsageText.h"
#include "cli/steps/OutputFile.h"
#include "cli/terminal/CliIo.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lumaquill {

// The opening every command's Execute shares: its arguments parsed into
// its options, then a usage error reported or --help answered.
class CommandOpening {
public:
    // The options when the command is to run; otherwise nothing, with the
    // exit status (ExitUsage after a usage error, that of printing --help)
    // in status.
    template <typename Options>
    static std::optional<Options> Open(
        CliIo& io, std::string_view command, const std::vector<std::string>& args, int& status)
    {
        std::string error;
        std::optional<Options> options = Options::Parse(args, error);
        if (!options) {
            status = UsageText::Report(io.Err, command, error, Options::Usage());
            return std::nullopt;
        }
        if (options->Help) {
            io.Out << Options::Usage();
            status = OutputFile::Finish(io.Out, io.Err);
            return std::nullopt;
        }
        return options;
    }
};

} // namespace lumaquill
