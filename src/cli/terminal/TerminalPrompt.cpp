#include "cli/terminal/TerminalPrompt.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <istream>
#include <ostream>
#include <termios.h>

namespace lumaquill {

namespace {

// The terminal mode to restore when a signal ends the process while echo
// is off, and the quiet mode to apply again after a stop. Written before
// the handlers are installed, only read by them.
struct termios SavedMode;
struct termios QuietMode;
volatile std::sig_atomic_t SavedFd = -1;

constexpr std::array kRestoringSignals = { SIGINT, SIGTERM, SIGHUP, SIGQUIT };
// Ctrl-Z, and the resume after any stop (the shell may have reset the
// terminal meanwhile).
constexpr std::array kJobSignals = { SIGTSTP, SIGCONT };
constexpr size_t kHandledSignals = kRestoringSignals.size() + kJobSignals.size();

extern "C" void RestoreAndReraise(int signal)
{
    if (SavedFd >= 0)
        tcsetattr(SavedFd, TCSAFLUSH, &SavedMode);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Echo comes back while the process is stopped and goes again when it
// resumes. SIGTSTP is not blocked in its own handler (SA_NODEFER), so the
// raise stops the process right there; the handler continues on SIGCONT.
extern "C" void StopOrResume(int signal)
{
    const int saved = errno;
    if (signal == SIGTSTP) {
        if (SavedFd >= 0)
            tcsetattr(SavedFd, TCSANOW, &SavedMode);
        struct sigaction stop = {};
        stop.sa_handler = SIG_DFL;
        sigemptyset(&stop.sa_mask);
        sigaction(SIGTSTP, &stop, nullptr);
        std::raise(SIGTSTP);
        struct sigaction again = {};
        again.sa_handler = StopOrResume;
        again.sa_flags = SA_RESTART | SA_NODEFER;
        sigemptyset(&again.sa_mask);
        sigaction(SIGTSTP, &again, nullptr);
    }
    if (SavedFd >= 0)
        tcsetattr(SavedFd, TCSANOW, &QuietMode);
    errno = saved;
}

// Echo off for its lifetime; the handlers restore the mode if a signal
// arrives first, and apply it again after a stop.
class EchoOff {
public:
    explicit EchoOff(int fd)
    {
        if (tcgetattr(fd, &SavedMode) != 0)
            return;
        QuietMode = SavedMode;
        QuietMode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        size_t slot = 0;
        for (const int signal : kRestoringSignals)
            Install(signal, RestoreAndReraise, 0, slot++);
        for (const int signal : kJobSignals)
            Install(signal, StopOrResume, SA_RESTART | SA_NODEFER, slot++);
        SavedFd = fd;
        Active = tcsetattr(fd, TCSAFLUSH, &QuietMode) == 0;
    }
    ~EchoOff()
    {
        if (SavedFd < 0)
            return;
        tcsetattr(SavedFd, TCSAFLUSH, &SavedMode);
        SavedFd = -1;
        size_t slot = 0;
        for (const int signal : kRestoringSignals)
            sigaction(signal, &Previous[slot++], nullptr);
        for (const int signal : kJobSignals)
            sigaction(signal, &Previous[slot++], nullptr);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

    bool Active = false;

private:
    void Install(int signal, void (*handler)(int), int flags, size_t slot)
    {
        struct sigaction action = {};
        action.sa_handler = handler;
        action.sa_flags = flags;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, &Previous[slot]);
    }

    std::array<struct sigaction, kHandledSignals> Previous = {};
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
