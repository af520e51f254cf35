#include "cli/TerminalPrompt.h"

#include <array>
#include <csignal>
#include <istream>
#include <ostream>
#include <termios.h>

namespace lumaquill {

namespace {

// The terminal mode to restore when a signal ends the process while echo
// is off. Written before the handlers are installed, only read by them.
struct termios SavedMode;
volatile std::sig_atomic_t SavedFd = -1;

constexpr std::array kRestoringSignals = { SIGINT, SIGTERM, SIGHUP, SIGQUIT };

extern "C" void RestoreAndReraise(int signal)
{
    if (SavedFd >= 0)
        tcsetattr(SavedFd, TCSAFLUSH, &SavedMode);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Echo off for its lifetime; the handlers restore the mode if a signal
// arrives first.
class EchoOff {
public:
    explicit EchoOff(int fd)
    {
        if (tcgetattr(fd, &SavedMode) != 0)
            return;
        struct sigaction action = {};
        action.sa_handler = RestoreAndReraise;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < kRestoringSignals.size(); ++i)
            sigaction(kRestoringSignals[i], &action, &Previous[i]);
        SavedFd = fd;
        struct termios quiet = SavedMode;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        Active = tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (SavedFd < 0)
            return;
        tcsetattr(SavedFd, TCSAFLUSH, &SavedMode);
        SavedFd = -1;
        for (size_t i = 0; i < kRestoringSignals.size(); ++i)
            sigaction(kRestoringSignals[i], &Previous[i], nullptr);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

    bool Active = false;

private:
    std::array<struct sigaction, kRestoringSignals.size()> Previous = {};
};

} // namespace

TerminalPrompt::TerminalPrompt(int fd, std::istream& in, std::ostream& err)
    : Fd(fd)
    , In(in)
    , Err(err)
{
}

std::optional<std::string> TerminalPrompt::ReadLine(const std::string& prompt, bool echo)
{
    Err << prompt << std::flush;
    return echo ? ReadVisible() : ReadHidden();
}

std::optional<std::string> TerminalPrompt::ReadHidden()
{
    std::optional<std::string> line;
    {
        EchoOff quiet(Fd);
        line = ReadVisible();
    }
    // The typed line end was not echoed.
    Err << '\n' << std::flush;
    return line;
}

std::optional<std::string> TerminalPrompt::ReadVisible()
{
    std::string line;
    if (!std::getline(In, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace lumaquill
