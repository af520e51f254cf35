#include "cli/commands/CommandLine.h"

int main(int argc, char* argv[])
{
    return lumaquill::CommandLine::Main(argc, argv);
}
