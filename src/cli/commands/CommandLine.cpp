#include "cli/commands/CommandLine.h"

#include "cli/commands/DecodeCommand.h"
#include "cli/commands/EncodeCommand.h"
#include "cli/commands/ExitStatus.h"
#include "cli/commands/InfoCommand.h"
#include "cli/options/DecodeOptions.h"
#include "cli/options/EncodeOptions.h"
#include "cli/options/InfoOptions.h"
#include "cli/options/UsageText.h"
#include "cli/steps/OutputFile.h"
#include "cli/terminal/CliIo.h"
#include "cli/terminal/TerminalPrompt.h"
#include "core/ProjectInfo.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <exception>
#include <iostream>
#include <new>
#include <unistd.h>

namespace lumaquill {

namespace {

// A subcommand: its name, its usage text and how it runs.
struct Command {
    std::string_view Name;
    const char* (*Usage)();
    int (*Execute)(CliIo& io, const std::vector<std::string>& args);
};

template <class CommandClass> int ExecuteCommand(CliIo& io, const std::vector<std::string>& args)
{
    return CommandClass(io).Execute(args);
}

// In the order the program's usage lists them.
constexpr std::array kCommands = {
    Command { "encode", &EncodeOptions::Usage, &ExecuteCommand<EncodeCommand> },
    Command { "decode", &DecodeOptions::Usage, &ExecuteCommand<DecodeCommand> },
    Command { "info", &InfoOptions::Usage, &ExecuteCommand<InfoCommand> },
};

} // namespace

int CommandLine::Run(const std::vector<std::string>& args, CliIo& io)
{
    if (args.empty()) {
        io.Err << Usage() << std::flush;
        return ExitUsage;
    }
    const std::string& command = args.front();
    for (const Command& known : kCommands) {
        if (command == known.Name)
            return known.Execute(io, std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (command == "--version") {
        io.Out << "lumaquill-cli " << kProjectVersion << '\n' << std::flush;
        return ExitOk;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        io.Out << Usage();
        return OutputFile::Finish(io.Out, io.Err);
    }
    io.Err << "lumaquill-cli: unknown command \"" << command << "\"\n" << Usage() << std::flush;
    return ExitUsage;
}

int CommandLine::Main(int argc, char** argv)
{
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
#ifdef SIGPIPE
    // A reader that goes away early (--out - into "| head") is a write
    // failure reported with exit 1, not a death by signal.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    TerminalPrompt terminal(STDIN_FILENO, std::cin, std::cerr);
    CliIo io { std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) ? &terminal : nullptr, isatty(STDERR_FILENO) != 0,
        isatty(STDOUT_FILENO) != 0 };
    // No input may end the process with an uncaught exception: whatever
    // escapes the commands is a failure with a reason.
    try {
        return Run(args, io);
    } catch (const std::bad_alloc&) {
        std::cerr << "lumaquill-cli: not enough memory.\n" << std::flush;
    } catch (const std::exception& error) {
        std::cerr << "lumaquill-cli: " << error.what() << '\n' << std::flush;
    }
    return ExitFailure;
}

std::string CommandLine::Usage()
{
    std::array<std::string_view, kCommands.size()> usages;
    std::transform(
        kCommands.begin(), kCommands.end(), usages.begin(), [](const Command& command) { return command.Usage(); });
    return UsageText::Synopses(usages)
        + "       lumaquill-cli COMMAND --help\n"
          "       lumaquill-cli --version\n"
          "\n"
          "Hides a text or a file in a picture, and gets it back. Exit status: 0 done,\n"
          "1 failed (nothing encoded or decoded), 2 the command line was not acceptable.\n";
}

} // namespace lumaquill
