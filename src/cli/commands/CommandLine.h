#pragma once

#include <string>
#include <vector>

namespace lumaquill {

struct CliIo;

// lumaquill-cli: picks the subcommand and hands it the rest of the arguments.
class CommandLine {
public:
    // args: the arguments after the program name. Returns an ExitStatus.
    static int Run(const std::vector<std::string>& args, CliIo& io);
    // The process's entry: its own streams, and the terminal when standard
    // input is one.
    static int Main(int argc, char** argv);
    // The synopses of every command, then the program's own.
    static std::string Usage();
};

} // namespace lumaquill
